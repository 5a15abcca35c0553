#include "app/PolaczenieBazy.h"

#include "platform/db/DbError.h"

namespace {

std::string Cytuj(const std::string& tekst, char cudzyslow) {
    std::string wynik(1, cudzyslow);
    for (char znak : tekst) {
        if (znak == cudzyslow)
            wynik += cudzyslow;
        wynik += znak;
    }
    return wynik + cudzyslow;
}

bool Litera(unsigned char znak) {
    return (znak >= 'a' && znak <= 'z') || (znak >= 'A' && znak <= 'Z') || znak == '_';
}

} // namespace

int KodBleduBazy(const platform::db::DbError& blad) {
    const std::string& stan = blad.sqlstate();
    // 28xxx authentication, 3D000 no such database, 42710 the role and
    // 42P04 the database exist already.
    if (stan.starts_with("28") || stan == "3D000" || stan == "42710" || stan == "42P04")
        return KodOdmowySerwera;
    return blad.kind();
}

bool NazwaIdentyfikatora(const std::string& nazwa) {
    if (nazwa.empty() || nazwa.size() > 63 || !Litera(static_cast<unsigned char>(nazwa[0])))
        return false;
    for (unsigned char znak : nazwa)
        if (!Litera(znak) && !(znak >= '0' && znak <= '9') && znak != '$')
            return false;
    return true;
}

std::optional<std::string> SqlUtworzUzytkownika(const std::string& uzytkownik, const std::string& haslo) {
    if (!NazwaIdentyfikatora(uzytkownik))
        return std::nullopt;
    return "CREATE USER " + Cytuj(uzytkownik, '"') + " WITH PASSWORD " + Cytuj(haslo, '\'');
}

std::optional<std::string> SqlUtworzBaze(const std::string& baza, const std::string& wlasciciel) {
    if (!NazwaIdentyfikatora(baza) || !NazwaIdentyfikatora(wlasciciel))
        return std::nullopt;
    return "CREATE DATABASE " + Cytuj(baza, '"') + " OWNER " + Cytuj(wlasciciel, '"') +
           " ENCODING 'UTF8' TEMPLATE template0";
}
