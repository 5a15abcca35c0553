#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/DataCzas.h"
#include "core/Object.h"
#include "core/TekstStaly.h"

namespace platform::db {
class Query;
}

class Object_Uzytkownik;
class Object_Lokal;

// An identifier: a remote control, a transponder, a licence plate or a
// temporary code, of a resident or a flat.
//
// Rodzaj and NumerSeryjny are the key of the serial index of every
// Objects_Identyfikatory that holds the identifier, so they change only
// through their setters (on the main thread, as every edit): each change
// tells every index to rebuild.
class Object_Identyfikator : public Object {
public:
    using Object::Object;

    void Polacz() override;

    // Whether the identifier may be used now. A bound that is not set does
    // not limit that side; both bounds are inclusive.
    bool Wazny() const;
    bool Wazny(DataCzas teraz) const;

    // Counts one use when the counter moved since the last link step and
    // writes the use count through the data module. Never throws: a failed
    // write is logged and the count taken back, so the next call tries again.
    void ZapiszUzycie();

    int Rodzaj() const { return rodzaj_; }
    void UstawRodzaj(int rodzaj);
    const TekstStaly<32>& NumerSeryjny() const { return numerSeryjny_; }
    void UstawNumerSeryjny(std::string_view numer);

    // Grows with every change of an identifier's kind or serial, anywhere.
    static std::uint64_t ZmianyKluczy() { return zmianyKluczy_; }

private:
    // 1..4, see Objects_Rodzaje_Identyfikatorow.
    int rodzaj_ = 0;
    // Hexadecimal text, kept in lower case by the loader; a plate's text.
    TekstStaly<32> numerSeryjny_;

public:
    std::int32_t Licznik = 0;
    // Licznik as it was when the use count was last written.
    std::int32_t LicznikZapisany = 0;
    int IdUzytkownika = 0;
    std::int32_t LicznikUzycia = 0;
    DataCzas DataCzasUtworzenia{};
    DataCzas OgraniczenieOd{};
    DataCzas OgraniczenieDo{};
    Object_Uzytkownik* Uzytkownik = nullptr;
    int IdLokalu = 0;
    Object_Lokal* Lokal = nullptr;

private:
    static std::uint64_t zmianyKluczy_;
};

class Objects_Identyfikatory : public Objects {
public:
    Object* Utworz(int id) override { return new Object_Identyfikator(id); }
    // By serial, naturally, whatever the kind.
    int Porownaj(int rodzaj, const Object* a, const Object* b) const override;

    Object_Identyfikator* DodajRekord(int id, int idUzytkownika, int idLokalu, int rodzaj,
                                      std::string_view numerSeryjny, std::int32_t licznik, std::int32_t licznikUzycia, DataCzas dataCzasUtworzenia,
                                      DataCzas ograniczenieOd, DataCzas ograniczenieDo);

    // The first identifier in display order of that kind (1..4) whose serial
    // equals the text ignoring ASCII case; leading zeros count. Main thread
    // only: the lookup may rebuild the index.
    Object_Identyfikator* ZnajdzNumer(int rodzaj, std::string_view numer) const;
    // The number as lower-case hexadecimal without leading zeros.
    Object_Identyfikator* ZnajdzNumerHex(int rodzaj, std::uint32_t numer) const;
    // As ZnajdzNumerHex, but only an identifier that is valid now.
    Object_Identyfikator* ZnajdzWazny(int rodzaj, std::uint32_t numer) const;

    // Writes every column of the identifier's row. 0 on success; otherwise
    // the kind of the first database error (4: a unique key), -1 for an
    // error of no known kind, and DbError::ObjectDoesNotExist when no row has
    // the identifier's id any more. Errors that are not the database's pass.
    static int Zapisz(const Object_Identyfikator& identyfikator, platform::db::Query& q);

    // Adds one to the count of each linked resident and flat per identifier;
    // the callers zero both counts first.
    void PoliczPrzypisania();

private:
    // An open-addressing table over the display order: each slot holds the
    // first identifier of one (kind, serial) and the key's hash. The serial is
    // read from the element itself, so the table copies no text; that holds
    // because every change of the container or of a key (see
    // Object_Identyfikator) makes the next lookup rebuild it first. Rebuilt
    // whole: edits are rare, lookups come with every code read.
    struct Wpis {
        std::uint64_t hash = 0;
        Object_Identyfikator* identyfikator = nullptr; // null: an empty slot
    };
    static std::uint64_t Hash(int rodzaj, std::string_view numer);
    void PrzebudujIndeksJesliTrzeba() const;

    mutable std::vector<Wpis> indeks_;
    mutable bool indeksGotowy_ = false;
    mutable std::uint64_t indeksZmian_ = 0;
    mutable std::uint64_t indeksZmianKluczy_ = 0;
};
