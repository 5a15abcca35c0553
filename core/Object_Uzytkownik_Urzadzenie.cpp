#include "core/Object_Uzytkownik_Urzadzenie.h"

#include "core/Object_Lokal.h"
#include "core/Object_Uzytkownik.h"
#include "core/Objects_globals.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"

void Object_Uzytkownik_Urzadzenie::Polacz() {
    Uzytkownik = Polaczony<Object_Uzytkownik>(Uzytkownicy, IdUzytkownika);
    Lokal = Polaczony<Object_Lokal>(Lokale, IdLokalu);
}

int Objects_Uzytkownicy_Urzadzenia::Porownaj(int rodzaj, const Object* a, const Object* b) const {
    if (rodzaj != 0)
        return 0;
    const int wynik = static_cast<const Object_Uzytkownik_Urzadzenie*>(a)->Email.str().compare(
        static_cast<const Object_Uzytkownik_Urzadzenie*>(b)->Email.str());
    return Znak(wynik);
}

Object_Uzytkownik_Urzadzenie* Objects_Uzytkownicy_Urzadzenia::DodajRekord(int id, std::int32_t idUserDeviceCloud,
                                                                          int idUzytkownika, int idLokalu,
                                                                          int idUrzadzenia, std::string_view email,
                                                                          std::int32_t rodzaj, bool istnieje,
                                                                          int idZarvoKlawiatury,
                                                                          DataCzas dataCzasAktualizacji) {
    auto* urzadzenie = static_cast<Object_Uzytkownik_Urzadzenie*>(Nowy(id));
    urzadzenie->IdUserDeviceCloud = idUserDeviceCloud;
    urzadzenie->IdUzytkownika = idUzytkownika;
    urzadzenie->IdLokalu = idLokalu;
    urzadzenie->IdUrzadzenia = idUrzadzenia;
    urzadzenie->Email = email;
    urzadzenie->Rodzaj = rodzaj;
    urzadzenie->Istnieje = istnieje;
    urzadzenie->IdZarvoKlawiatury = idZarvoKlawiatury;
    urzadzenie->DataCzasAktualizacji = dataCzasAktualizacji;
    return urzadzenie;
}

bool Objects_Uzytkownicy_Urzadzenia::UsunZBazy(int idUzytkownikUrzadzenie, platform::db::Query& q) {
    q.setSql("DELETE FROM uzytkownicy_urzadzenia WHERE IdUzytkownikUrzadzenie=:IdUzytkownikUrzadzenie");
    q.param("IdUzytkownikUrzadzenie") = idUzytkownikUrzadzenie;
    try {
        q.execSql();
    } catch (const platform::db::DbError&) {
        return false;
    }
    return true;
}

bool Objects_Uzytkownicy_Urzadzenia::UsunUrzadzenie(int idUzytkownikUrzadzenie, platform::db::Query& q) {
    if (!UsunZBazy(idUzytkownikUrzadzenie, q))
        return false;
    Usun(idUzytkownikUrzadzenie);
    return true;
}

Object_Uzytkownik_Urzadzenie* Objects_Uzytkownicy_Urzadzenia::ZnajdzCloud(std::int32_t idUserDeviceCloud) const {
    for (int i = Rozmiar() - 1; i >= 0; --i) {
        auto* urzadzenie = static_cast<Object_Uzytkownik_Urzadzenie*>(Element(i));
        if (urzadzenie->IdUserDeviceCloud == idUserDeviceCloud)
            return urzadzenie;
    }
    return nullptr;
}
