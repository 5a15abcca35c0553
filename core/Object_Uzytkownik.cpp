#include "core/Object_Uzytkownik.h"

#include "core/Object_Grupa_Uzytkownikow.h"
#include "core/Objects_globals.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"

namespace {

// The keys in order, up to the first that tells the two apart.
template <class... Klucze>
int PierwszaRoznica(Klucze... klucze) {
    int wynik = 0;
    (void)(((wynik = klucze()) != 0) || ...);
    return wynik;
}

} // namespace

void Object_Uzytkownik::Polacz() {
    Grupa = Polaczony<Object_Grupa_Uzytkownikow>(GrupyUzytkownikow, IdGrupyUzytkownikow);
}

int Objects_Uzytkownicy::Porownaj(int rodzaj, const Object* a, const Object* b) const {
    const auto& x = *static_cast<const Object_Uzytkownik*>(a);
    const auto& y = *static_cast<const Object_Uzytkownik*>(b);
    auto nazwisko = [&] { return PorownajNaturalnie(x.Nazwisko, y.Nazwisko); };
    auto imie = [&] { return PorownajNaturalnie(x.Imie, y.Imie); };
    auto adres = [&] { return PorownajNaturalnie(x.Adres, y.Adres); };
    auto kod = [&] { return PorownajNaturalnie(x.KodPocztowy, y.KodPocztowy); };
    auto miejscowosc = [&] { return PorownajNaturalnie(x.Miejscowosc, y.Miejscowosc); };
    auto email = [&] { return PorownajNaturalnie(x.Email, y.Email); };
    auto liczba = [&] { return int(x.LiczbaIdentyfikatorow) - int(y.LiczbaIdentyfikatorow); };
    auto komentarz = [&] { return PorownajNaturalnie(x.Komentarz, y.Komentarz); };
    switch (rodzaj) {
    case 0:
        return PierwszaRoznica(nazwisko, imie, miejscowosc, kod, adres);
    case 1:
        return PierwszaRoznica(imie, nazwisko, miejscowosc, kod, adres);
    case 2:
        return PierwszaRoznica(adres, miejscowosc, kod, nazwisko, imie);
    case 3:
        return PierwszaRoznica(miejscowosc, kod, adres, nazwisko, imie);
    case 4:
        return PierwszaRoznica(kod, miejscowosc, adres, nazwisko, imie);
    case 5:
        return PierwszaRoznica(email, nazwisko, imie);
    case 6:
        return PierwszaRoznica(liczba, nazwisko, imie);
    case 7:
        return PierwszaRoznica(komentarz, nazwisko, imie);
    default:
        return 0;
    }
}

Object_Uzytkownik* Objects_Uzytkownicy::DodajRekord(int id, int idGrupyUzytkownikow, std::string_view imie,
                                                    std::string_view nazwisko, std::string_view adres,
                                                    std::string_view kodPocztowy, std::string_view miejscowosc,
                                                    std::string_view email, std::uint8_t rodzaj, bool wynajmujacy,
                                                    std::string_view komentarz) {
    auto* u = static_cast<Object_Uzytkownik*>(Nowy(id));
    u->IdGrupyUzytkownikow = idGrupyUzytkownikow;
    u->Imie = imie;
    u->Nazwisko = nazwisko;
    u->Adres = adres;
    u->KodPocztowy = kodPocztowy;
    u->Miejscowosc = miejscowosc;
    u->Email = email;
    u->Rodzaj = rodzaj;
    u->Wynajmujacy = wynajmujacy;
    u->Komentarz = komentarz;
    return u;
}

int Objects_Uzytkownicy::Wstaw(const Object_Uzytkownik& u, platform::db::Query& q) {
    q.setSql("INSERT INTO uzytkownicy (IdGrupyUzytkownikow, Imie, Nazwisko, Adres, KodPocztowy, Miejscowosc, "
             "Rodzaj, Wynajmujacy, Email, Komentarz) VALUES (:IdGrupyUzytkownikow, :Imie, :Nazwisko, :Adres, "
             ":KodPocztowy, :Miejscowosc, :Rodzaj, :Wynajmujacy, :Email, :Komentarz) RETURNING IdUzytkownika;");
    q.param("IdGrupyUzytkownikow") = u.IdGrupyUzytkownikow;
    q.param("Imie") = u.Imie.str();
    q.param("Nazwisko") = u.Nazwisko.str();
    q.param("Adres") = u.Adres.str();
    q.param("KodPocztowy") = u.KodPocztowy.str();
    q.param("Miejscowosc") = u.Miejscowosc.str();
    q.param("Email") = u.Email.str();
    q.param("Komentarz") = u.Komentarz.str();
    q.param("Rodzaj") = static_cast<int>(u.Rodzaj);
    q.param("Wynajmujacy") = u.Wynajmujacy;
    int id = 0;
    try {
        q.open();
        id = q.field("IdUzytkownika").asInt();
    } catch (const platform::db::DbError&) {
        id = 0;
    }
    q.close();
    return id;
}

Object_Uzytkownik* Objects_Uzytkownicy::DodajNowego(int idGrupyUzytkownikow, std::string_view imie,
                                                    std::string_view nazwisko, std::string_view adres,
                                                    std::string_view kodPocztowy, std::string_view miejscowosc,
                                                    std::string_view email, std::uint8_t rodzaj, bool wynajmujacy,
                                                    std::string_view komentarz, platform::db::Query& q) {
    Object_Uzytkownik nowy(0);
    nowy.IdGrupyUzytkownikow = idGrupyUzytkownikow;
    nowy.Imie = imie;
    nowy.Nazwisko = nazwisko;
    nowy.Adres = adres;
    nowy.KodPocztowy = kodPocztowy;
    nowy.Miejscowosc = miejscowosc;
    nowy.Email = email;
    nowy.Rodzaj = rodzaj;
    nowy.Wynajmujacy = wynajmujacy;
    nowy.Komentarz = komentarz;
    const int id = Wstaw(nowy, q);
    if (id == 0)
        return nullptr;
    return DodajRekord(id, idGrupyUzytkownikow, nowy.Imie, nowy.Nazwisko, nowy.Adres, nowy.KodPocztowy,
                       nowy.Miejscowosc, nowy.Email, rodzaj, wynajmujacy, nowy.Komentarz);
}

void Objects_Uzytkownicy::ZerujLiczniki() {
    for (int i = 0; i < Rozmiar(); ++i)
        static_cast<Object_Uzytkownik*>(Element(i))->LiczbaIdentyfikatorow = 0;
}
