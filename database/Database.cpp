#include "database/Database.h"

#include "core/MD5.h"
#include "database/SkryptBazy.h"
#include "database/TDM.h"
#include "platform/db/DbError.h"

namespace {

bool Wstawienie(std::string_view tekst) {
    if (tekst.size() < 7)
        return false;
    std::string poczatek(tekst.substr(0, 7));
    for (char& c : poczatek)
        if (c >= 'A' && c <= 'Z')
            c += 'a' - 'A';
    return poczatek == "insert ";
}

bool Wypelnienie(char c) { return static_cast<unsigned char>(c) < 33; }

void OtworzPolaczenie() {
    if (!DM->FDConnection.connected())
        DM->FDConnection.open();
}

} // namespace

std::string TekstSql(std::string_view tekst, bool wstawianie) {
    while (!tekst.empty() && Wypelnienie(tekst.front()))
        tekst.remove_prefix(1);
    while (!tekst.empty() && Wypelnienie(tekst.back()))
        tekst.remove_suffix(1);
    std::string wynik(tekst);
    if (wstawianie && Wstawienie(wynik)) {
        if (wynik.back() == ';')
            wynik.back() = ' ';
        wynik += "ON CONFLICT DO NOTHING";
    }
    return wynik;
}

bool WykonajSql(std::string_view tekst, bool wstawianie) {
    try {
        DM->Command.setText(TekstSql(tekst, wstawianie));
        DM->Command.execute();
        return true;
    } catch (const db::DbError&) {
        DM->Command.setText("ROLLBACK");
        DM->Command.execute();
        return false;
    }
}

bool UsunTabele() {
    OtworzPolaczenie();
    if (!WykonajSql("BEGIN"))
        return false;
    std::vector<std::string> polecenia;
    try {
        // Names quoted and qualified: a table named like a keyword, or one of
        // the same name in another schema on the search path, is no trap.
        DM->Query.setSql("SELECT 'DROP TABLE IF EXISTS public.' || quote_ident(tablename) || ' CASCADE;' AS sql "
                         "FROM pg_tables WHERE schemaname='public'");
        DM->Query.open();
        for (; !DM->Query.eof(); DM->Query.next())
            polecenia.push_back(DM->Query.field("sql").asString());
        DM->Query.close();
    } catch (const db::DbError&) {
        DM->Query.setSql("ROLLBACK");
        DM->Query.execSql();
        return false;
    }
    for (const std::string& polecenie : polecenia)
        if (!WykonajSql(polecenie))
            return false;
    return WykonajSql("COMMIT");
}

bool UtworzBaze() {
    OtworzPolaczenie();
    platform::db::StatementTimeoutScope czas(DM->FDConnection, TDM::CzasDlugiejPracy);
    if (!UsunTabele() || !WykonajSql("BEGIN"))
        return false;
    for (const char* polecenie : SkryptBazy)
        if (!WykonajSql(polecenie))
            return false;
    if (!WykonajSql("COMMIT"))
        return false;
    DodajDomyslnegoAdministratora();
    return DodajDomyslneGrupyZdarzen();
}

void DodajDomyslnegoAdministratora() {
    db::Table& tabela = DM->TableAdministratorzy;
    tabela.open();
    tabela.append();
    tabela.field("Nazwa") = DomyslnyAdministratorNazwa;
    tabela.field("Haslo") = SkrotHasla(DomyslnyAdministratorHaslo);
    tabela.field("Rodzaj") = DomyslnyAdministratorRodzaj;
    tabela.post();
    tabela.close();
}

bool DodajDomyslneGrupyZdarzen() {
    db::Table& tabela = DM->TableGrupyZdarzen;
    try {
        tabela.open();
        for (const auto& grupa : DomyslneGrupyZdarzen) {
            tabela.append();
            tabela.field("Nazwa") = grupa.Nazwa;
            tabela.field("Priorytet") = grupa.Priorytet;
            tabela.post();
        }
        tabela.close();
        return true;
    } catch (const std::exception&) {
        if (tabela.active())
            tabela.close();
        return false;
    }
}
