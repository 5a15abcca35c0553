#include "database/SkryptBazy.h"

#include "core/MD5.h"
#include "tests/database/Catalogue.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

using namespace std::string_literals;

namespace {

// Runs one statement; the server's message on failure, nothing on success.
std::optional<std::string> exec(PGconn* conn, const std::string& sql)
{
    PGresult* res = PQexec(conn, sql.c_str());
    const ExecStatusType status = PQresultStatus(res);
    std::optional<std::string> error;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        error = PQresultErrorMessage(res);
    PQclear(res);
    return error;
}

// All rows of a query, fields as text (SQL NULL as "NULL").
std::vector<std::vector<std::string>> query(PGconn* conn, const std::string& sql)
{
    std::vector<std::vector<std::string>> out;
    PGresult* res = PQexec(conn, sql.c_str());
    if (PQresultStatus(res) != PGRES_TUPLES_OK) {
        ADD_FAILURE() << sql << ": " << PQresultErrorMessage(res);
    } else {
        for (int r = 0; r < PQntuples(res); ++r) {
            std::vector<std::string> row;
            for (int f = 0; f < PQnfields(res); ++f)
                row.emplace_back(PQgetisnull(res, r, f) ? "NULL" : PQgetvalue(res, r, f));
            out.push_back(std::move(row));
        }
    }
    PQclear(res);
    return out;
}

std::vector<std::string> expectedListing()
{
    const std::string path = KANDOR_SOURCE_DIR "/tests/database/expected_catalogue.txt";
    std::ifstream in(path);
    if (!in) {
        ADD_FAILURE() << "cannot read " << path;
        return {};
    }
    std::vector<std::string> out;
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == ' ' || line.back() == '\r' || line.back() == '\t'))
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        out.push_back(line);
    }
    return out;
}

// Missing and extra lines, each group in listing order, or an empty text when
// the listings are equal.
std::string listingDiff(const std::vector<std::string>& expected, const std::vector<std::string>& actual)
{
    if (expected == actual)
        return {};
    const std::multiset<std::string> want(expected.begin(), expected.end());
    const std::multiset<std::string> have(actual.begin(), actual.end());
    std::ostringstream diff;
    for (const auto& line : expected)
        if (!have.contains(line))
            diff << "- " << line << "\n";
    for (const auto& line : actual)
        if (!want.contains(line))
            diff << "+ " << line << "\n";
    if (diff.str().empty()) {
        // Same lines: a duplicate or the order differs.
        diff << "same lines but not the same sequence (" << expected.size() << " expected, "
             << actual.size() << " read); first difference:\n";
        const auto [e, a] = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
        diff << "  expected: " << (e != expected.end() ? *e : "<end>") << "\n"
             << "  read:     " << (a != actual.end() ? *a : "<end>") << "\n";
    }
    return diff.str();
}

class SkryptBazyTest : public TestDatabase {
protected:
    void SetUp() override
    {
        TestDatabase::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        conn_ = connect();
        ASSERT_EQ(PQstatus(conn_), CONNECTION_OK);
        ASSERT_EQ(PQsetClientEncoding(conn_, "UTF8"), 0);
        ASSERT_NO_FATAL_FAILURE(createSchema());
    }

    // As a new database gets it: all statements in one transaction.
    void createSchema()
    {
        ASSERT_EQ(exec(conn_, "BEGIN"), std::nullopt);
        for (std::size_t i = 0; i < SkryptBazy.size(); ++i) {
            ASSERT_NE(SkryptBazy[i], nullptr) << "statement " << i + 1;
            ASSERT_EQ(exec(conn_, SkryptBazy[i]), std::nullopt) << "statement " << i + 1 << ": " << SkryptBazy[i];
        }
        ASSERT_EQ(exec(conn_, "COMMIT"), std::nullopt);
    }

    PGconn* conn_ = nullptr;
};

TEST_F(SkryptBazyTest, CatalogueMatchesTheExpectedListing)
{
    const std::vector<std::string> expected = expectedListing();
    ASSERT_FALSE(expected.empty());
    const std::vector<std::string> actual = catalogueListing(conn_);
    const std::string diff = listingDiff(expected, actual);
    EXPECT_TRUE(diff.empty()) << "catalogue differs (- expected only, + database only):\n" << diff;
}

TEST_F(SkryptBazyTest, NewDatabaseIsAtVersionNineThree)
{
    EXPECT_EQ(query(conn_, "SELECT IDWersja, Major, Minor FROM wersja"),
              (std::vector<std::vector<std::string>>{{"1", "9", "3"}}));
}

TEST_F(SkryptBazyTest, BuiltInEventKindsHaveTheirIdsAndTexts)
{
    const std::vector<std::vector<std::string>> expected = {
        {"1", "Czujnik aktywny"},
        {"2", "Czujnik nieaktywny"},
        {"3", "Otwarcie bramy"},
        {"4", "Zamknięcie bramy"},
        {"5", "Trwa przejazd przez bramę"},
        {"6", "Brak uprawnień do przejazdu przez bramę"},
        {"7", "Użytkownik przejeżdża już przez bamę"},
        {"8", "Czujnik przed bramą nie jest aktywny"},
        {"9", "Identyfikator niezarejestrowany"},
        {"10", "Przejazd utworzony"},
        {"11", "Przejazd zakończony"},
        {"12", "Przejazd anulowany"},
        {"13", "Przycisk identyfikatora nieaktywny"},
        {"14", "Nieudana próba wywołania lokalu"},
        {"15", "Wywołanie lokalu"},
        {"16", "Rozmowa z lokatorem"},
        {"17", "Otwarcie rygla z lokalu"},
        {"18", "Otwarcie rygla od wewnątrz"},
        {"19", "Nieudana próba otwarcia rygla kodem"},
        {"20", "Otwarcie rygla kodem"},
        {"21", "Nieudana próba otwarcia identyfikatorem"},
        {"22", "Otwarcie rygla identyfikatorem"},
        {"23", "Wywołanie dozorcy"},
        {"24", "Rozmowa z dozorcą"},
        {"25", "Wycofanie pojazdu"},
        {"26", "Odczytanie nieznanego identyfikatora"},
        {"27", "System uruchomiony"},
        {"28", "System zatrzymany"},
        {"29", "Użycie kodu"},
    };
    EXPECT_EQ(query(conn_, "SELECT IdRodzajZdarzeniaWbudowane, Nazwa FROM rodzaj_zdarzenia_wbudowane "
                           "ORDER BY IdRodzajZdarzeniaWbudowane"),
              expected);
    EXPECT_EQ(query(conn_, "SELECT count(*) FROM rodzaj_zdarzenia_wbudowane "
                           "WHERE Symbol IS NOT NULL OR Kolor IS NOT NULL"),
              (std::vector<std::vector<std::string>>{{"0"}}));
    // The rows carry explicit ids, so the key's sequence has not been used.
    EXPECT_EQ(query(conn_, "SELECT is_called FROM rodzaj_zdarzenia_wbudowane_idrodzajzdarzeniawbudowane_seq"),
              (std::vector<std::vector<std::string>>{{"f"}}));
}

TEST_F(SkryptBazyTest, ChangeKindsHaveTheirIdsAndTexts)
{
    EXPECT_EQ(query(conn_, "SELECT IdRejestrZmianZmiana, opis FROM rejestr_zmian_zmiana "
                           "ORDER BY IdRejestrZmianZmiana"),
              (std::vector<std::vector<std::string>>{
                  {"1", "Dodanie transpondera"},
                  {"2", "Usunięcie transpondera"},
                  {"3", "Dodanie lokalu do obszaru"},
                  {"4", "Usunięcie lokalu z obszaru"},
              }));
}

TEST_F(SkryptBazyTest, EveryOtherTableStartsEmpty)
{
    const std::set<std::string> seeded = {"wersja", "rodzaj_zdarzenia_wbudowane", "rejestr_zmian_zmiana"};
    const auto tables = query(conn_, "SELECT tablename FROM pg_tables WHERE schemaname = 'public' ORDER BY 1");
    ASSERT_EQ(tables.size(), 50u);
    for (const auto& t : tables) {
        if (seeded.contains(t[0]))
            continue;
        SCOPED_TRACE(t[0]);
        EXPECT_EQ(query(conn_, "SELECT count(*) FROM " + t[0]), (std::vector<std::vector<std::string>>{{"0"}}));
    }
}

// Each case runs in its own transaction, rolled back after, so the cases do
// not see each other's rows.
TEST_F(SkryptBazyTest, UniqueKeysRefuseDuplicatesAndAcceptNulls)
{
    struct Case {
        std::string_view name;
        std::string first;
        std::string second;
        std::string_view refusedBy; // the key's name, empty when the second row is accepted
    };
    const Case cases[] = {
        {"second board at the same address on the same bus",
         "INSERT INTO karty (IdRodzajKarty, IdMagistrali, Adres) VALUES (1, 1, 5)",
         "INSERT INTO karty (IdRodzajKarty, IdMagistrali, Adres) VALUES (2, 1, 5)", "karty_idmagistrali_adres_key"},
        {"board at the same address on another bus",
         "INSERT INTO karty (IdRodzajKarty, IdMagistrali, Adres) VALUES (1, 1, 5)",
         "INSERT INTO karty (IdRodzajKarty, IdMagistrali, Adres) VALUES (1, 2, 5)", ""},
        {"second bus on the same COM", "INSERT INTO magistrale (Com, Wersja) VALUES (3, 1)",
         "INSERT INTO magistrale (Com, Wersja) VALUES (3, 2)", "magistrale_com_key"},
        {"second address with the same street and number",
         "INSERT INTO adresy (Ulica, Numer, Miejscowosc) VALUES ('Różana', '12a', 'Kórnik')",
         "INSERT INTO adresy (Ulica, Numer, Miejscowosc) VALUES ('Różana', '12a', 'Bnin')", "adresy_ulica_numer_key"},
        {"address on the same street with another number",
         "INSERT INTO adresy (Ulica, Numer) VALUES ('Różana', '12a')",
         "INSERT INTO adresy (Ulica, Numer) VALUES ('Różana', '12b')", ""},
        {"second area with the same name", "INSERT INTO obszary (Nazwa) VALUES ('Klatka A')",
         "INSERT INTO obszary (Nazwa) VALUES ('Klatka A')", "obszary_nazwa_key"},
        {"second tag with the same name", "INSERT INTO tagi (Nazwa) VALUES ('Garaż')",
         "INSERT INTO tagi (Nazwa) VALUES ('Garaż')", "tagi_nazwa_key"},
        {"output 1 of two controllers, no board",
         "INSERT INTO wyjscia (IdKarty, IdCentralaZarvoGsm, Wyjscie) VALUES (NULL, 1, 1)",
         "INSERT INTO wyjscia (IdKarty, IdCentralaZarvoGsm, Wyjscie) VALUES (NULL, 2, 1)", ""},
        {"output 1 of two controllers, board 0",
         "INSERT INTO wyjscia (IdKarty, IdCentralaZarvoGsm, Wyjscie) VALUES (0, 1, 1)",
         "INSERT INTO wyjscia (IdKarty, IdCentralaZarvoGsm, Wyjscie) VALUES (0, 2, 1)", ""},
        {"output 1 of the same controller twice",
         "INSERT INTO wyjscia (IdKarty, IdCentralaZarvoGsm, Wyjscie) VALUES (0, 1, 1)",
         "INSERT INTO wyjscia (IdKarty, IdCentralaZarvoGsm, Wyjscie) VALUES (0, 1, 1)",
         "wyjscia_idkarty_idcentralazarvogsm_wyjscie_key"},
        {"same board output twice, controller NULL",
         "INSERT INTO wyjscia (IdKarty, IdCentralaZarvoGsm, Wyjscie) VALUES (7, NULL, 1)",
         "INSERT INTO wyjscia (IdKarty, IdCentralaZarvoGsm, Wyjscie) VALUES (7, NULL, 1)", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(exec(conn_, "BEGIN"), std::nullopt);
        EXPECT_EQ(exec(conn_, c.first), std::nullopt);
        PGresult* res = PQexec(conn_, c.second.c_str());
        if (c.refusedBy.empty()) {
            EXPECT_EQ(PQresultStatus(res), PGRES_COMMAND_OK) << PQresultErrorMessage(res);
        } else {
            ASSERT_EQ(PQresultStatus(res), PGRES_FATAL_ERROR);
            const char* state = PQresultErrorField(res, PG_DIAG_SQLSTATE);
            const char* constraint = PQresultErrorField(res, PG_DIAG_CONSTRAINT_NAME);
            EXPECT_EQ(std::string(state ? state : ""), "23505") << PQresultErrorMessage(res);
            EXPECT_EQ(std::string(constraint ? constraint : ""), c.refusedBy);
        }
        PQclear(res);
        ASSERT_EQ(exec(conn_, "ROLLBACK"), std::nullopt);
    }
}

// The defaults are appended after the schema is committed; they must fit the
// columns they go into (the digest exactly fills Haslo).
TEST_F(SkryptBazyTest, DefaultAccountAndEventGroupsFitTheirTables)
{
    const std::string digest = SkrotHasla(DomyslnyAdministratorHaslo);
    ASSERT_EQ(digest.size(), 32u);
    const std::string account = "INSERT INTO administratorzy (Nazwa, Haslo, Rodzaj) VALUES ('"s +
                                std::string(DomyslnyAdministratorNazwa) + "', '" + digest + "', " +
                                std::to_string(DomyslnyAdministratorRodzaj) + ")";
    ASSERT_EQ(exec(conn_, account), std::nullopt);
    for (const auto& g : DomyslneGrupyZdarzen)
        ASSERT_EQ(exec(conn_, "INSERT INTO grupy_zdarzen (Nazwa, Priorytet) VALUES ('" + std::string(g.Nazwa) + "', " +
                                  std::to_string(g.Priorytet) + ")"),
                  std::nullopt);

    EXPECT_EQ(query(conn_, "SELECT IdAdministratora, Nazwa, Haslo, Rodzaj FROM administratorzy"),
              (std::vector<std::vector<std::string>>{{"1", "tusko", SkrotHasla("tusko"), "1"}}));
    EXPECT_EQ(query(conn_, "SELECT IdGrupyZdarzen, Nazwa, Priorytet FROM grupy_zdarzen ORDER BY 1"),
              (std::vector<std::vector<std::string>>{
                  {"1", "Alarm", "1"},
                  {"2", "Awaria", "2"},
                  {"3", "Ostrzeżenie", "3"},
                  {"4", "Informacja", "4"},
              }));
}

} // namespace
