#pragma once
#include <optional>
#include <string>

namespace platform::db {
class DbError;
}

// The statements and error codes of the start-up's connection run, which
// creates the program's role and database through the superuser when the
// server refuses the program's own login.

// The code of a refusal by the server: authentication failed, the role or
// the database is missing, or the one being created exists already. An
// unreachable server is not a refusal: there is nobody to create anything
// on.
inline constexpr int KodOdmowySerwera = 1500;
// KodOdmowySerwera for a refusal, otherwise the error's kind.
int KodBleduBazy(const platform::db::DbError& blad);

// The superuser the role and the database are created with; it logs in to
// the server's own database.
inline constexpr char SuperuzytkownikNazwa[] = "postgres";
inline constexpr char SuperuzytkownikHaslo[] = "tarnelis";
inline constexpr char SuperuzytkownikBaza[] = "postgres";

// A name the program creates a role or database under: letters, digits,
// '_' and '$', not beginning with a digit or '$', at most 63 bytes. Names
// arrive from the options window, so anything else is refused before it
// reaches the server.
bool NazwaIdentyfikatora(const std::string& nazwa);
// "CREATE USER" and "CREATE DATABASE" with the names checked and quoted and
// the password as a quoted literal; nothing for a name that is not an
// identifier.
std::optional<std::string> SqlUtworzUzytkownika(const std::string& uzytkownik, const std::string& haslo);
std::optional<std::string> SqlUtworzBaze(const std::string& baza, const std::string& wlasciciel);
