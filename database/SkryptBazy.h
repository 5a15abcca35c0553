#pragma once
#include <array>
#include <string_view>

// The statements that build a new database at schema version 9.3 (step 42),
// in the order UtworzBaze runs them inside its one transaction: each table
// with its unique keys inline, each CREATE INDEX right after its table, and
// the rows a new database starts with. Stored databases and the migration
// chain depend on the exact names here (lower-cased by the server, the
// server-chosen names of unnamed keys, the index names), so the spellings
// stay as they have always been, odd ones included.
extern const std::array<const char*, 69> SkryptBazy;

// The account DodajDomyslnegoAdministratora appends to a new database, or at
// login to an empty administratorzy. The name and the first password are the
// same word; the row stores SkrotHasla of the password.
inline constexpr std::string_view DomyslnyAdministratorNazwa = "tusko";
inline constexpr std::string_view DomyslnyAdministratorHaslo = "tusko";
inline constexpr int DomyslnyAdministratorRodzaj = 1; // Administrator

// The event groups DodajDomyslneGrupyZdarzen appends, in this order, so that
// a new database has them under keys 1 to 4.
struct DomyslnaGrupaZdarzen {
    std::string_view Nazwa;
    int Priorytet;
};
inline constexpr std::array<DomyslnaGrupaZdarzen, 4> DomyslneGrupyZdarzen{{
    {"Alarm", 1},
    {"Awaria", 2},
    {"Ostrzeżenie", 3},
    {"Informacja", 4},
}};
