#include "database/Import.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string_view>
#include <vector>

#include "core/Tekst.h"
#include "core/ZapiszWyjatek.h"
#include "database/Database.h"
#include "database/SkryptWersji1.h"
#include "database/TDM.h"

namespace {

// While the file's lines run, the residents table is out of the way and the
// operator table stands under its 1.0 name, so that the file's operator rows
// land in administratorzy. The import brings its own event groups.
constexpr const char* kPrzedLiniami[] = {
    "ALTER TABLE uzytkownicy RENAME TO tmp_uzytkowny",
    "DELETE FROM administratorzy",
    "ALTER TABLE administratorzy RENAME COLUMN IdAdministratora TO IdUzytkownika",
    "ALTER TABLE administratorzy RENAME TO uzytkownicy",
    "DELETE FROM grupy_zdarzen",
};
constexpr const char* kPoLiniach[] = {
    "ALTER TABLE uzytkownicy RENAME TO administratorzy",
    "ALTER TABLE administratorzy RENAME COLUMN IdUzytkownika TO IdAdministratora",
    "ALTER TABLE tmp_uzytkowny RENAME TO uzytkownicy",
};

struct ZamknijPlik {
    void operator()(std::FILE* plik) const { std::fclose(plik); }
};
using Plik = std::unique_ptr<std::FILE, ZamknijPlik>;

bool WykonajWszystkie(const auto& polecenia) {
    for (const char* polecenie : polecenia)
        if (!WykonajSql(polecenie))
            return false;
    return true;
}

// Ends the import's transaction after a failure that WykonajSql has not
// already rolled back (a long line, a read error, an exception).
void Wycofaj() {
    try {
        if (DM->FDConnection.inTransaction()) {
            DM->Command.setText("ROLLBACK");
            DM->Command.execute();
        }
    } catch (const std::exception&) {
        // The session was lost, and the transaction with it.
    }
}

// --- What a line of the file holds ---------------------------------------

bool Bialy(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool PoczatekSlowa(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_' || b >= 0x80;
}
bool ZnakSlowa(char c) { return PoczatekSlowa(c) || (c >= '0' && c <= '9') || c == '$'; }

std::size_t PominCytat(std::string_view sql, std::size_t i, char cudzyslow, bool ukosniki) {
    for (++i; i < sql.size(); ++i) {
        if (ukosniki && sql[i] == '\\')
            ++i;
        else if (sql[i] == cudzyslow) {
            if (i + 1 < sql.size() && sql[i + 1] == cudzyslow)
                ++i;
            else
                return i + 1;
        }
    }
    return sql.size();
}

std::size_t PominKomentarz(std::string_view sql, std::size_t i) {
    int glebokosc = 0;
    while (i < sql.size()) {
        if (sql.compare(i, 2, "/*") == 0) {
            ++glebokosc;
            i += 2;
        } else if (sql.compare(i, 2, "*/") == 0) {
            i += 2;
            if (--glebokosc == 0)
                return i;
        } else {
            ++i;
        }
    }
    return sql.size();
}

// The length of the dollar-quote tag at sql[i] ("$$", "$body$"), or 0.
std::size_t ZnacznikDolara(std::string_view sql, std::size_t i) {
    std::size_t j = i + 1;
    if (j < sql.size() && sql[j] == '$')
        return 2;
    if (j >= sql.size() || !PoczatekSlowa(sql[j]))
        return 0;
    while (j < sql.size() && ZnakSlowa(sql[j]) && sql[j] != '$')
        ++j;
    return j < sql.size() && sql[j] == '$' ? j + 1 - i : 0;
}

// The first two words of each statement of a line, in capitals; a token that
// is not a word (a literal, a quoted name, a bracket) counts as an empty
// word. Text in quotes, dollar quotes and comments is passed over as the
// server reads it with standard_conforming_strings on (which the import keeps
// by skipping SET lines), so a ';' or a keyword inside it counts for nothing.
using Poczatek = std::array<std::string, 2>;

std::vector<Poczatek> PoczatkiPolecen(std::string_view sql) {
    std::vector<Poczatek> wynik;
    Poczatek biezacy;
    int tokeny = 0;
    const auto token = [&](std::string slowo) {
        if (tokeny < 2)
            biezacy[tokeny] = std::move(slowo);
        ++tokeny;
    };
    const auto koniecPolecenia = [&] {
        if (tokeny > 0)
            wynik.push_back(std::move(biezacy));
        biezacy = {};
        tokeny = 0;
    };
    std::size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        if (c == ';') {
            koniecPolecenia();
            ++i;
        } else if (Bialy(c)) {
            ++i;
        } else if (sql.compare(i, 2, "--") == 0) {
            i = sql.size(); // a line holds no line feed
        } else if (sql.compare(i, 2, "/*") == 0) {
            i = PominKomentarz(sql, i);
        } else if (c == '\'' || c == '"') {
            i = PominCytat(sql, i, c, false);
            token("");
        } else if (const std::size_t znacznik = c == '$' ? ZnacznikDolara(sql, i) : 0) {
            const std::size_t zamkniecie = sql.find(sql.substr(i, znacznik), i + znacznik);
            i = zamkniecie == std::string_view::npos ? sql.size() : zamkniecie + znacznik;
            token("");
        } else if (PoczatekSlowa(c)) {
            std::size_t j = i;
            std::string slowo;
            for (; j < sql.size() && ZnakSlowa(sql[j]); ++j)
                slowo += sql[j] >= 'a' && sql[j] <= 'z' ? static_cast<char>(sql[j] - 'a' + 'A') : sql[j];
            if (slowo == "E" && j < sql.size() && sql[j] == '\'') {
                i = PominCytat(sql, j, '\'', true);
                token("");
            } else {
                i = j;
                token(std::move(slowo));
            }
        } else {
            ++i;
            token("");
        }
    }
    koniecPolecenia();
    return wynik;
}

// Statements of the file that the import does not run:
// - those that would end the import's one transaction or open another inside
//   it (BEGIN, START TRANSACTION, COMMIT, END, ROLLBACK, ABORT, the savepoint
//   statements, and the two-phase ones, which cannot run in a transaction
//   anyway); a file written as one transaction runs as this one;
// - SET and RESET: the desk's connection keeps its settings. A file's client
//   encoding would garble the lines converted to UTF-8 here, a file's string
//   escaping would make the server read quotes differently from the check
//   above, and after the commit either would outlive the import.
bool Pomijane(const Poczatek& p) {
    static constexpr std::string_view slowa[] = {"ABORT", "BEGIN",    "COMMIT", "END", "RELEASE",
                                                  "RESET", "ROLLBACK", "SAVEPOINT", "SET", "START"};
    if (std::find(std::begin(slowa), std::end(slowa), p[0]) != std::end(slowa))
        return true;
    return p[0] == "PREPARE" && p[1] == "TRANSACTION";
}

using Linia = LiniaImportu::Rodzaj;

Linia Rozpoznaj(std::string_view sql) {
    const std::vector<Poczatek> polecenia = PoczatkiPolecen(sql);
    const auto pomijane = std::count_if(polecenia.begin(), polecenia.end(), Pomijane);
    if (pomijane == static_cast<std::ptrdiff_t>(polecenia.size()))
        return Linia::Pomin; // also an empty line or one of comments only
    // Running the rest of such a line would lose part of what it says, and
    // running all of it would end the transaction.
    return pomijane == 0 ? Linia::Wykonaj : Linia::Odrzuc;
}

bool WykonajLinie(std::string_view bajty) {
    const LiniaImportu linia = RozpoznajLinieImportu(bajty);
    switch (linia.rodzaj) {
    case Linia::Pomin:
        return true;
    case Linia::Odrzuc:
        return false;
    case Linia::Wykonaj:
        break;
    }
    // Still in the transaction: if anything the check missed has ended it,
    // stop before another line runs on its own.
    return WykonajSql(linia.tekst, true) && DM->FDConnection.inTransaction();
}

// The drops of UsunTabele, inside the import's transaction instead of one of
// their own, so that a failed import leaves every table as it was.
bool UsunTabeleWTransakcji() {
    std::vector<std::string> polecenia;
    DM->Query.setSql("SELECT 'DROP TABLE IF EXISTS public.' || quote_ident(tablename) || ' CASCADE' AS sql "
                     "FROM pg_tables WHERE schemaname = 'public'");
    DM->Query.open();
    for (; !DM->Query.eof(); DM->Query.next())
        polecenia.push_back(DM->Query.field("sql").asString());
    DM->Query.close();
    for (const std::string& polecenie : polecenia)
        if (!WykonajSql(polecenie))
            return false;
    return true;
}

// Each key sequence is set so that the next key is one above the largest
// imported key (1 for an empty table). A refusal throws.
void UstawSekwencje() {
    struct Kolumna {
        std::string tabela, kolumna, domyslna;
    };
    std::vector<Kolumna> kolumny;
    DM->Query.setSql("SELECT quote_ident(table_name) AS tabela, quote_ident(column_name) AS kolumna, "
                     "column_default FROM information_schema.columns "
                     "WHERE table_schema = 'public' AND column_default LIKE 'nextval(%'");
    DM->Query.open();
    for (; !DM->Query.eof(); DM->Query.next())
        kolumny.push_back({DM->Query.field("tabela").asString(), DM->Query.field("kolumna").asString(),
                           DM->Query.field("column_default").asString()});
    DM->Query.close();

    for (const Kolumna& k : kolumny) {
        DM->SubQuery.setSql("SELECT MAX(" + k.kolumna + ") AS id FROM public." + k.tabela);
        DM->SubQuery.open();
        // Keys below 1 would put the next value outside the sequence.
        const std::int64_t nastepny = std::max<std::int64_t>(DM->SubQuery.field("id").asInt64() + 1, 1);
        DM->SubQuery.close();
        // The default reads nextval('<sequence>'::regclass): its bracket,
        // quoted by the server, names the sequence.
        DM->SubQuery.setSql("SELECT setval(" + k.domyslna.substr(std::strlen("nextval")) + ", " +
                            std::to_string(nastepny) + ", false)");
        DM->SubQuery.open();
        DM->SubQuery.close();
    }
}

bool Importuj(std::FILE* plik) {
    if (!DM->FDConnection.connected())
        DM->FDConnection.open();
    const std::unique_ptr<char[]> bufor(new char[ImportRozmiarBufora]);
    if (!WykonajSql("BEGIN") || !UsunTabeleWTransakcji() || !WykonajWszystkie(SkryptWersji1) ||
        !WykonajWszystkie(kPrzedLiniami) ||
        !CzytajLinieImportu(plik, {bufor.get(), ImportRozmiarBufora}, WykonajLinie) ||
        !WykonajWszystkie(kPoLiniach))
        return false;
    UstawSekwencje();
    return WykonajSql("COMMIT");
}

} // namespace

LiniaImportu RozpoznajLinieImportu(std::string_view bajty) {
    LiniaImportu linia;
    // libpq would end the statement at a NUL and run only what comes before.
    if (bajty.find('\0') != std::string_view::npos)
        return linia;
    linia.tekst = Cp1250NaUtf8(bajty);
    linia.rodzaj = Rozpoznaj(linia.tekst);
    return linia;
}

// A line is taken where it lies in the buffer, and only the unread start of
// a line is moved to the front before more is read.
bool CzytajLinieImportu(std::FILE* plik, std::span<char> bufor,
                        const std::function<bool(std::string_view)>& linia) {
    std::size_t poczatek = 0; // of the current line
    std::size_t szukaj = 0;   // where the search for its line feed goes on
    std::size_t koniec = 0;   // of the bytes read
    bool koniecPliku = false;
    for (;;) {
        const void* lf = std::memchr(bufor.data() + szukaj, '\n', koniec - szukaj);
        if (lf) {
            const std::size_t pozycja = static_cast<const char*>(lf) - bufor.data();
            if (!linia(std::string_view(bufor.data() + poczatek, pozycja - poczatek)))
                return false;
            poczatek = szukaj = pozycja + 1;
            continue;
        }
        if (koniecPliku)
            return poczatek == koniec || linia(std::string_view(bufor.data() + poczatek, koniec - poczatek));
        std::memmove(bufor.data(), bufor.data() + poczatek, koniec - poczatek);
        koniec -= poczatek;
        poczatek = 0;
        szukaj = koniec;
        // A full buffer without a line feed: the line has no room for one.
        if (koniec == bufor.size())
            return false;
        const std::size_t przeczytane = std::fread(bufor.data() + koniec, 1, bufor.size() - koniec, plik);
        if (przeczytane == 0) {
            if (std::ferror(plik))
                return false;
            koniecPliku = true;
        }
        koniec += przeczytane;
    }
}

bool ImportujBaze(const std::string& sciezka) {
    // Opened before anything is dropped: a file that cannot be read changes
    // nothing.
    const Plik plik(std::fopen(sciezka.c_str(), "rb"));
    if (!plik)
        return false;
    try {
        db::StatementTimeoutScope czas(DM->FDConnection, TDM::CzasDlugiejPracy);
        if (Importuj(plik.get()))
            return true;
    } catch (const std::exception& e) {
        // A catalogue query the server refused, a line with a :name the
        // command layer takes for a parameter, a lost session: all of it
        // ends as a failed import, and the log says why.
        ZapiszWyjatek(e, "Import", __LINE__);
    }
    Wycofaj();
    return false;
}
