#pragma once
#include "core/DataCzas.h"
#include "core/Object.h"

namespace platform::db {
class Query;
}

class Object_Uzytkownik;
class Object_Lokal;

// A resident lives in or uses a flat.
class Object_Uzytkownik_Lokal : public Object {
public:
    using Object::Object;

    void Polacz() override;

    int IdUzytkownika = 0;
    int IdLokalu = 0;
    // When the link was made or last updated.
    DataCzas DataCzasAktualizacji{};
    Object_Uzytkownik* Uzytkownik = nullptr;
    Object_Lokal* Lokal = nullptr;
};

class Objects_Uzytkownicy_Lokale : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Uzytkownik_Lokal(id); }
    // Sorted by id whatever the kind: the base compare.

    Object_Uzytkownik_Lokal* DodajRekord(int id, int idUzytkownika, int idLokalu, DataCzas dataCzasAktualizacji);

    // Inserts the link's row; its new id, or 0 when the database refused it.
    static int Wstaw(const Object_Uzytkownik_Lokal& link, platform::db::Query& q);
    // Deletes the link's row; false when the database refused.
    static bool UsunZBazy(int idUzytkownikLokal, platform::db::Query& q);
    // Inserts a link made now and adds it, unlinked, under its new id. Null,
    // with nothing added, when the database refused the row.
    Object_Uzytkownik_Lokal* DodajPrzypisanie(int idUzytkownika, int idLokalu, platform::db::Query& q);
    // Deletes the first link of the pair, row and element. True also when the
    // pair has no stored link; false, with the element kept, when the
    // database refused the delete.
    bool UsunPrzypisanie(int idUzytkownika, int idLokalu, platform::db::Query& q);

    // Add the resident's linked flats (the flat's linked residents) to the
    // target, each once, and return how many links named them. They only
    // read the links, and write nothing but the target: not even the shared
    // cursor. Adding to the target counts the element's memberships
    // (Objects::Dodaj), so the target's elements must not be added to or
    // removed from containers on another thread meanwhile.
    int LokaleUzytkownika(int idUzytkownika, Objects& cel) const;
    int UzytkownicyLokalu(int idLokalu, Objects& cel) const;
};
