#include "core/Object_Miejsce_Parkingowe.h"

#include "core/Object_Adres.h"
#include "core/Object_Brama.h"
#include "core/Object_Grupa_Uzytkownikow.h"
#include "core/Object_Lokal.h"
#include "core/Object_Uzytkownik.h"
#include "core/Objects_globals.h"

namespace {

int Naturalnie(std::string_view a, std::string_view b) { return Objects::PorownajNaturalnie(a, b); }

int Dokladnie(std::string_view a, std::string_view b) { return a.compare(b); }

} // namespace

void Object_Miejsce_Parkingowe::Polacz() {
    Adres = Polaczony<Object_Adres>(Adresy, IdAdresu);
    Lokal = Polaczony<Object_Lokal>(Lokale, IdLokalu);
    UzytkownikWynajmujacy = Polaczony<Object_Uzytkownik>(Uzytkownicy, IdUzytkownikaWynajmujacego);
    UzytkownikZajmujacy = Polaczony<Object_Uzytkownik>(Uzytkownicy, IdUzytkownikaZajmujacego);
    Grupa = Polaczony<Object_Grupa_Uzytkownikow>(GrupyUzytkownikow, IdGrupyUzytkownikowWynajmujacy);
    Brama = Polaczony<Object_Brama>(Bramy, IdBramy);
}

int Objects_Miejsca_Parkingowe::Porownaj(int rodzaj, const Object* oa, const Object* ob) const {
    const auto& a = static_cast<const Object_Miejsce_Parkingowe&>(*oa);
    const auto& b = static_cast<const Object_Miejsce_Parkingowe&>(*ob);
    const bool adresy = a.Adres && b.Adres;
    int r = 0;
    switch (rodzaj) {
    case 0:
        if (adresy && ((r = Naturalnie(a.Adres->KodPocztowy, b.Adres->KodPocztowy)) ||
                       (r = Naturalnie(a.Adres->Miejscowosc, b.Adres->Miejscowosc)) ||
                       (r = Naturalnie(a.Adres->Ulica, b.Adres->Ulica)) ||
                       (r = Naturalnie(a.Adres->Numer, b.Adres->Numer))))
            return r;
        return Dokladnie(a.Nazwa, b.Nazwa);
    case 1:
        if (adresy && ((r = Naturalnie(a.Adres->Miejscowosc, b.Adres->Miejscowosc)) ||
                       (r = Naturalnie(a.Adres->KodPocztowy, b.Adres->KodPocztowy)) ||
                       (r = Naturalnie(a.Adres->Ulica, b.Adres->Ulica)) ||
                       (r = Naturalnie(a.Adres->Numer, b.Adres->Numer))))
            return r;
        return Dokladnie(a.Nazwa, b.Nazwa);
    case 2:
        if ((r = Dokladnie(a.Nazwa, b.Nazwa)))
            return r;
        if (adresy && ((r = Naturalnie(a.Adres->Ulica, b.Adres->Ulica)) ||
                       (r = Naturalnie(a.Adres->KodPocztowy, b.Adres->KodPocztowy)) ||
                       (r = Naturalnie(a.Adres->Miejscowosc, b.Adres->Miejscowosc)) ||
                       (r = Naturalnie(a.Adres->Numer, b.Adres->Numer))))
            return r;
        return 0;
    default:
        return 0;
    }
}

Object_Miejsce_Parkingowe* Objects_Miejsca_Parkingowe::DodajRekord(int id, int idAdresu, int idLokalu,
                                                                   std::string_view nazwa, bool doWynajecia,
                                                                   int idUzytkownikaWynajmujacego,
                                                                   int idUzytkownikaZajmujacego,
                                                                   std::int32_t idParkingPlaceCloud,
                                                                   int idGrupyUzytkownikowWynajmujacy, int idBramy) {
    auto* m = static_cast<Object_Miejsce_Parkingowe*>(Nowy(id));
    m->IdAdresu = idAdresu;
    m->IdLokalu = idLokalu;
    m->Nazwa = nazwa;
    m->DoWynajecia = doWynajecia;
    m->IdUzytkownikaWynajmujacego = idUzytkownikaWynajmujacego;
    m->IdUzytkownikaZajmujacego = idUzytkownikaZajmujacego;
    m->IdParkingPlaceCloud = idParkingPlaceCloud;
    m->IdGrupyUzytkownikowWynajmujacy = idGrupyUzytkownikowWynajmujacy;
    m->IdBramy = idBramy;
    return m;
}
