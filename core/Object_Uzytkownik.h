#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "core/Object.h"
#include "core/TekstStaly.h"

namespace platform::db {
class Query;
}

class Object_Grupa_Uzytkownikow;

// A resident of the estate.
class Object_Uzytkownik : public Object {
public:
    using Object::Object;

    void Polacz() override;

    // The resident's e-mail address as a text (the field of the same name
    // leaves no room for the method's own name).
    std::string EmailTekst() const { return Email.str(); }

    int IdGrupyUzytkownikow = 0;
    Object_Grupa_Uzytkownikow* Grupa = nullptr;
    TekstStaly<55> Imie;
    TekstStaly<55> Nazwisko;
    TekstStaly<30> Adres;
    TekstStaly<6> KodPocztowy;
    TekstStaly<30> Miejscowosc;
    TekstStaly<255> Email;
    std::uint8_t Rodzaj = 0;
    // Parking-space rentals create renters.
    bool Wynajmujacy = false;
    // How many identifiers name the resident; counted by the identifiers'
    // container after ZerujLiczniki.
    std::uint16_t LiczbaIdentyfikatorow = 0;
    // Set by the passage logic while the resident is passing a gate.
    bool WPrzejezdzie = false;
    TekstStaly<512> Komentarz;
};

class Objects_Uzytkownicy : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Uzytkownik(id); }
    // Kinds 0..7 are the residents window's columns (see the .cpp); any other
    // kind leaves the order to the shuffle.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Uzytkownik* DodajRekord(int id, int idGrupyUzytkownikow, std::string_view imie, std::string_view nazwisko,
                                   std::string_view adres, std::string_view kodPocztowy, std::string_view miejscowosc,
                                   std::string_view email, std::uint8_t rodzaj, bool wynajmujacy,
                                   std::string_view komentarz);

    // Inserts the resident's row through the query; the new row's id, or 0
    // when the database refused the row.
    static int Wstaw(const Object_Uzytkownik& uzytkownik, platform::db::Query& q);
    // Inserts a row and adds the resident under its new id. Null, with
    // nothing added, when the database refused the row: an element with id 0
    // would shadow every other failed insert and could never be written back.
    Object_Uzytkownik* DodajNowego(int idGrupyUzytkownikow, std::string_view imie, std::string_view nazwisko,
                                   std::string_view adres, std::string_view kodPocztowy, std::string_view miejscowosc,
                                   std::string_view email, std::uint8_t rodzaj, bool wynajmujacy,
                                   std::string_view komentarz, platform::db::Query& q);

    void ZerujLiczniki();
};
