#pragma once
#include <string>
#include <string_view>

// The one path for raw SQL: the text runs on the data module's command; a
// database error is followed by a ROLLBACK and gives false. Callers put
// "BEGIN" and "COMMIT" around a group of statements themselves. With the
// insert flag an INSERT skips rows whose key already exists.
bool WykonajSql(std::string_view tekst, bool wstawianie = false);

// The text WykonajSql sends: trimmed of blanks and control characters at
// both ends, and with the insert flag an INSERT gets "ON CONFLICT DO
// NOTHING" (a final ';' becomes the blank before it).
std::string TekstSql(std::string_view tekst, bool wstawianie);

// Drops every table of schema public in one transaction.
bool UsunTabele();
// Builds the schema at step 42 in the connected database, after dropping
// every table, with the default account and event groups.
bool UtworzBaze();
void DodajDomyslnegoAdministratora();
bool DodajDomyslneGrupyZdarzen();
