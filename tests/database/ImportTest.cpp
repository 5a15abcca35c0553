#include <gtest/gtest.h>
#include <cstdlib>
#include <sstream>

#include "core/MD5.h"
#include "core/Tekst.h"
#include "database/Database.h"
#include "database/Import.h"
#include "database/SkryptBazy.h"
#include "database/SkryptWersji1.h"
#include "database/TDM.h"
#include "tests/database/Catalogue.h"
#include "tests/support/TestDataModule.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace std::literals;

namespace {

TEST(ImportCp1250NaUtf8, ConvertsEveryDefinedByteAndMarksTheUndefinedOnes) {
    struct Case {
        std::string_view name, cp1250, utf8;
    };
    const Case cases[] = {
        {"ASCII and control characters unchanged", "INSERT 'a;b'\t\r", "INSERT 'a;b'\t\r"},
        {"small Polish letters", "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF", "ąćęłńóśźż"},
        {"capital Polish letters", "\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF", "ĄĆĘŁŃÓŚŹŻ"},
        {"euro sign, en dash, no-break space", "\x80\x96\xA0", "€–\u00A0"},
        {"undefined bytes become U+FFFD", "a\x81" "b\x83\x88\x90\x98", "a\uFFFDb\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"a NUL byte is kept", "a\0b"sv, "a\0b"sv},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Cp1250NaUtf8(c.cp1250), c.utf8);
    }
    // Every defined byte comes back through the password path's converter.
    for (int b = 0x80; b <= 0xFF; ++b) {
        if (b == 0x81 || b == 0x83 || b == 0x88 || b == 0x90 || b == 0x98)
            continue;
        const std::string bajt(1, static_cast<char>(b));
        EXPECT_EQ(Utf8NaCp1250(Cp1250NaUtf8(bajt)), std::optional(bajt)) << "byte " << b;
    }
}

// The reader on a small buffer: lines where they lie, the unread start of a
// line moved to the front, and a line without room for its line feed (or,
// as the last line, without a byte to spare) fails the file.
TEST(CzytajLinieImportu, HandsOutEachLineUntilOneDoesNotFitTheBuffer) {
    struct Case {
        std::string_view name;
        std::string_view plik;
        std::size_t bufor;
        bool wynik;
        std::vector<std::string> linie;
    };
    const Case cases[] = {
        {"lines across refills", "ab\ncd\r\nef", 4, true, {"ab", "cd\r", "ef"}},
        {"a last line feed gives no empty line", "ab\n\n", 4, true, {"ab", ""}},
        {"an empty file", "", 4, true, {}},
        {"the longest line with its line feed", "abc\nd", 4, true, {"abc", "d"}},
        {"a line one longer", "abcd\ne", 4, false, {}},
        {"a last line filling the buffer", "ab\nabcd", 4, false, {"ab"}},
        {"a last line with a byte to spare", "ab\nabc", 4, true, {"ab", "abc"}},
        {"a NUL byte is part of a line", "a\0b\n"sv, 8, true, {"a\0b"s}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bajty(c.plik);
        std::FILE* plik = fmemopen(bajty.data(), bajty.size(), "rb");
        ASSERT_NE(plik, nullptr);
        std::vector<char> bufor(c.bufor);
        std::vector<std::string> linie;
        EXPECT_EQ(CzytajLinieImportu(plik, bufor, [&](std::string_view l) {
                      linie.emplace_back(l);
                      return true;
                  }),
                  c.wynik);
        std::fclose(plik);
        EXPECT_EQ(linie, c.linie);
    }
}

TEST(RozpoznajLinieImportu, SkipsRunsOrRefusesByTheStatementsItHolds) {
    using Rodzaj = LiniaImportu::Rodzaj;
    struct Case {
        std::string_view name;
        std::string_view bajty;
        Rodzaj rodzaj;
    };
    const Case cases[] = {
        {"an insert runs", "INSERT INTO tagi VALUES (1, 'a');", Rodzaj::Wykonaj},
        {"an empty line is skipped", "", Rodzaj::Pomin},
        {"a comment is skipped", "-- uwaga", Rodzaj::Pomin},
        {"a commit is skipped", "COMMIT;", Rodzaj::Pomin},
        {"a commit after a statement is refused", "DELETE FROM tagi; COMMIT", Rodzaj::Odrzuc},
        {"a commit in quotes counts for nothing", "INSERT INTO tagi VALUES (2, 'COMMIT; END')", Rodzaj::Wykonaj},
        {"a NUL byte is refused", "SELECT 1\0; DROP TABLE wersja"sv, Rodzaj::Odrzuc},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RozpoznajLinieImportu(c.bajty).rodzaj, c.rodzaj);
    }
    EXPECT_EQ(RozpoznajLinieImportu("'\xB3'").tekst, "'ł'") << "the line is converted from Windows-1250";
}

class SkryptWersji1Test : public TestDataModule {};

// Columns (with type and length) and indexes of the tables both schemas
// have, that one of the two schemas has and the other has not.
std::string Roznice(TestDataModule& t, std::string_view z, std::string_view bez) {
    const std::string kolumny = "SELECT table_name || '.' || column_name || ' ' || data_type || "
                                "coalesce('(' || character_maximum_length || ')', '') || "
                                "CASE WHEN is_nullable = 'NO' THEN ' not null' ELSE '' END AS x "
                                "FROM information_schema.columns WHERE table_schema = '";
    const std::string indeksy = "SELECT indexname || ' ' || regexp_replace(indexdef, ' ON \\w+\\.', ' ON ') "
                                "FROM pg_indexes WHERE schemaname = '";
    const std::string wspolne = "' AND table_name IN (SELECT table_name FROM information_schema.tables "
                                "WHERE table_schema = 'public' INTERSECT SELECT table_name FROM "
                                "information_schema.tables WHERE table_schema = 'nowa')";
    const std::string wspolneIdx = "' AND tablename IN (SELECT tablename FROM pg_tables WHERE schemaname = 'public' "
                                   "INTERSECT SELECT tablename FROM pg_tables WHERE schemaname = 'nowa')";
    const std::string sql = "SELECT string_agg(x, ', ' ORDER BY x COLLATE \"C\") FROM ((" + kolumny + std::string(z) + wspolne +
                            " EXCEPT " + kolumny + std::string(bez) + wspolne + ") UNION ALL (" + indeksy +
                            std::string(z) + wspolneIdx + " EXCEPT " + indeksy + std::string(bez) + wspolneIdx +
                            ")) AS r(x)";
    return t.scalar(sql);
}

TEST_F(SkryptWersji1Test, BuildsVersion10WithTheKeysTheMigrationChainDrops) {
    ASSERT_TRUE(WykonajSql("BEGIN"));
    for (std::size_t i = 0; i < SkryptWersji1.size(); ++i)
        ASSERT_TRUE(WykonajSql(SkryptWersji1[i])) << "statement " << i + 1 << ": " << SkryptWersji1[i];
    ASSERT_TRUE(WykonajSql("COMMIT"));

    EXPECT_EQ(scalar("SELECT string_agg(Major || ' ' || Minor, ',') FROM wersja"), "1 0");
    EXPECT_EQ(scalar("SELECT count(*) || ' ' || min(IdRodzajZdarzeniaWbudowane) || ' ' || max(IdRodzajZdarzeniaWbudowane) "
                     "FROM rodzaj_zdarzenia_wbudowane"),
              "13 1 13");
    EXPECT_EQ(scalar("SELECT count(*) FROM pg_tables WHERE schemaname = 'public'"), "29");

    // The current schema next to it, for the differences 1.0 must have and no others.
    exec("CREATE SCHEMA nowa");
    exec("SET search_path TO nowa");
    for (const char* polecenie : SkryptBazy)
        exec(polecenie);
    exec("SET search_path TO public");
    EXPECT_EQ(scalar("SELECT string_agg(Nazwa, '|' ORDER BY IdRodzajZdarzeniaWbudowane) FROM rodzaj_zdarzenia_wbudowane"),
              scalar("SELECT string_agg(Nazwa, '|' ORDER BY IdRodzajZdarzeniaWbudowane) FROM nowa.rodzaj_zdarzenia_wbudowane "
                     "WHERE IdRodzajZdarzeniaWbudowane <= 13"));

    EXPECT_EQ(Roznice(*this, "public", "nowa"),
              "karty.com integer, "
              "karty_com_adres_key CREATE UNIQUE INDEX karty_com_adres_key ON karty USING btree (com, adres), "
              "rodzaj_zdarzenia_wbudowane.nazwa character varying(40), "
              "synapsy.idrodzajzdarzenia integer, "
              "uzytkownicy.imie character varying(20), "
              "uzytkownicy.nazwisko character varying(30), "
              "wyjscia_idkarty_wyjscie_key CREATE UNIQUE INDEX wyjscia_idkarty_wyjscie_key ON wyjscia USING btree "
              "(idkarty, wyjscie), "
              "zdarzenia.dataczaswystapienie date, "
              "zdarzenia.dataczaszakonczenie date");
    EXPECT_EQ(Roznice(*this, "nowa", "public"),
              "bramy.geodlugosc double precision, "
              "bramy.geoszerokosc double precision, "
              "bramy.idwejsciakrancowkaotwarcia integer, "
              "bramy.idwejsciakrancowkazamkniecia integer, "
              "identyfikatory.dataczasutworzenia timestamp without time zone, "
              "identyfikatory.idlokalu integer, "
              "identyfikatory.licznikuzycia integer, "
              "identyfikatory.ograniczeniedo timestamp without time zone, "
              "identyfikatory.ograniczenieod timestamp without time zone, "
              "identyfikatory.rodzaj integer, "
              "karty.idmagistrali integer, "
              "karty_idmagistrali_adres_key CREATE UNIQUE INDEX karty_idmagistrali_adres_key ON karty USING btree "
              "(idmagistrali, adres), "
              "przejazdy.funkcjawycofania boolean, "
              "przejazdy.idwyjsciaczujnikstartowy integer, "
              "przejazdy.opis character varying(200), "
              "przejazdy.posredni boolean, "
              "przejazdy.trybczujnikstartowy integer, "
              "rodzaj_zdarzenia_wbudowane.nazwa character varying(50), "
              "synapsy.idrodzajzdarzeniawe integer, "
              "synapsy.idrodzajzdarzeniawy integer, "
              "uzytkownicy.email character varying(255), "
              "uzytkownicy.imie character varying(55), "
              "uzytkownicy.komentarz character varying(512), "
              "uzytkownicy.nazwisko character varying(55), "
              "uzytkownicy.wynajmujacy boolean, "
              "wyjscia.idcentralazarvogsm integer, "
              "wyjscia_idkarty_idcentralazarvogsm_wyjscie_key CREATE UNIQUE INDEX "
              "wyjscia_idkarty_idcentralazarvogsm_wyjscie_key ON wyjscia USING btree (idkarty, idcentralazarvogsm, wyjscie), "
              "zdarzenia.dataczaswystapienie timestamp without time zone, "
              "zdarzenia.dataczaszakonczenie timestamp without time zone");
    // The link's one event kind is its last column: the chain renames it in place.
    EXPECT_EQ(scalar("SELECT column_name FROM information_schema.columns WHERE table_schema = 'public' AND "
                     "table_name = 'synapsy' ORDER BY ordinal_position DESC LIMIT 1"),
              "idrodzajzdarzenia");
}

// A database at the current step with a row of its own, and import files
// written as the older desk wrote them.
class ImportTest : public TestDataModule {
protected:
    void SetUp() override {
        TestDataModule::SetUp();
        if (IsSkipped())
            return;
        katalog_ = std::filesystem::temp_directory_path() / uniqueName("import");
        std::filesystem::create_directory(katalog_);
    }
    void TearDown() override {
        if (!katalog_.empty())
            std::filesystem::remove_all(katalog_);
        TestDataModule::TearDown();
    }

    // The bytes as they stand, in a file of the test's folder.
    std::string plik(std::string_view bajty) {
        const std::string sciezka = (katalog_ / ("plik" + std::to_string(++pliki_) + ".sql")).string();
        std::ofstream(sciezka, std::ios::binary).write(bajty.data(), static_cast<std::streamsize>(bajty.size()));
        return sciezka;
    }

    // Lines written here in UTF-8, stored in Windows-1250 with CR LF between
    // them and none after the last.
    static std::string Cp1250(const std::vector<std::string>& linie) {
        std::string bajty;
        for (const std::string& linia : linie) {
            if (!bajty.empty())
                bajty += "\r\n";
            const std::optional<std::string> cp = Utf8NaCp1250(linia);
            EXPECT_TRUE(cp) << linia;
            bajty += cp.value_or("");
        }
        return bajty;
    }

    std::filesystem::path katalog_;
    int pliki_ = 0;
};

TEST_F(ImportTest, ImportsAWindows1250FileAndSetsTheKeys) {
    createSchema();
    const std::string haslo = SkrotHasla("zażółć");
    // The last line, without a line feed, is the longest there is room for;
    // it starts part-way through the buffer and runs past its end.
    const std::string poczatek = "INSERT INTO tagi (IdTag, Nazwa) VALUES";
    const std::string koniec = "(11, 'dluga')";
    const std::string dluga =
        poczatek + std::string(ImportMaksDlugoscLinii - poczatek.size() - koniec.size(), ' ') + koniec;
    ASSERT_EQ(dluga.size(), 1'048'575u);

    const std::string bajty =
        Cp1250({
            "INSERT INTO wersja (IDWersja, Major, Minor) VALUES (1, 1, 0);",
            "INSERT INTO uzytkownicy (IdUzytkownika, Nazwa, Haslo, Rodzaj) VALUES (3, 'Łukasz', '" + haslo + "', 1);",
            "INSERT INTO uzytkownicy (IdUzytkownika, Nazwa, Haslo, Rodzaj) VALUES (3, 'duplikat', '', 2);",
            "insert into uzytkownicy (IdUzytkownika, Nazwa, Haslo, Rodzaj) values (7, 'Żaneta', '', 2)",
            "INSERT INTO karty (IdKarty, IdRodzajKarty, Com, Adres, Nazwa) VALUES (4, 1, 2, 1, 'Płyta wejść');",
            "INSERT INTO karty (IdKarty, IdRodzajKarty, Com, Adres, Nazwa) VALUES (5, 1, 2, 1, 'ten sam adres');",
            "INSERT INTO rodzaj_zdarzenia_wbudowane (IdRodzajZdarzeniaWbudowane, Nazwa) VALUES (1, 'inna');",
            "INSERT INTO grupy_zdarzen (IdGrupyZdarzen, Nazwa, Priorytet) VALUES (2, 'Ostrzeżenia', 1);",
            "",
            "INSERT INTO bramy (IdBramy, Nazwa) VALUES (12, 'Wjazd – ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ');",
            "UPDATE karty SET Nazwa = Nazwa || ' 1' WHERE IdKarty = 4;",
            "INSERT INTO neurony (IdNeuronu, Nazwa) VALUES (20, 'przedostatnia')",
        }) +
        "\r\n" + dluga;
    ASSERT_TRUE(ImportujBaze(plik(bajty)));
    EXPECT_FALSE(DM->FDConnection.inTransaction());

    EXPECT_EQ(scalar("SELECT string_agg(Major || ' ' || Minor, ',') FROM wersja"), "1 0");
    EXPECT_EQ(scalar("SELECT string_agg(IdAdministratora || ' ' || Nazwa || ' ' || Haslo || ' ' || Rodzaj, ',' "
                     "ORDER BY IdAdministratora) FROM administratorzy"),
              "3 Łukasz " + haslo + " 1,7 Żaneta  2");
    EXPECT_EQ(scalar("SELECT count(*) FROM uzytkownicy"), "0");
    EXPECT_EQ(scalar("SELECT string_agg(column_name, ',' ORDER BY ordinal_position) FROM information_schema.columns "
                     "WHERE table_name = 'uzytkownicy'"),
              "iduzytkownika,idgrupyuzytkownikow,imie,nazwisko,adres,kodpocztowy,miejscowosc,rodzaj");
    EXPECT_EQ(scalar("SELECT count(*) FROM pg_tables WHERE tablename = 'tmp_uzytkowny'"), "0");
    EXPECT_EQ(scalar("SELECT string_agg(IdKarty || ' ' || Com || ' ' || Nazwa, ',') FROM karty"), "4 2 Płyta wejść 1");
    EXPECT_EQ(scalar("SELECT Nazwa FROM rodzaj_zdarzenia_wbudowane WHERE IdRodzajZdarzeniaWbudowane = 1"),
              "Czujnik aktywny");
    EXPECT_EQ(scalar("SELECT string_agg(IdGrupyZdarzen || ' ' || Nazwa, ',') FROM grupy_zdarzen"), "2 Ostrzeżenia");
    EXPECT_EQ(scalar("SELECT Nazwa FROM bramy"), "Wjazd – ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ");
    EXPECT_EQ(scalar("SELECT Nazwa FROM tagi WHERE IdTag = 11"), "dluga");
    EXPECT_EQ(scalar("SELECT Nazwa FROM neurony WHERE IdNeuronu = 20"), "przedostatnia");

    // Each key sequence gives the largest imported key plus one, 1 for an empty table.
    struct Klucz {
        std::string_view tabela, klucz, wstaw, nastepny;
    };
    const Klucz klucze[] = {
        {"administratorzy", "IdAdministratora", "(Nazwa) VALUES ('nowy')", "8"},
        {"karty", "IdKarty", "(IdRodzajKarty) VALUES (1)", "5"},
        {"grupy_zdarzen", "IdGrupyZdarzen", "(Nazwa) VALUES ('nowa')", "3"},
        {"tagi", "IdTag", "(Nazwa) VALUES ('nowy')", "12"},
        {"wersja", "IDWersja", "(Major) VALUES (0)", "2"},
        {"rodzaj_zdarzenia_wbudowane", "IdRodzajZdarzeniaWbudowane", "(Nazwa) VALUES ('nowy')", "14"},
        {"czytniki", "IdCzytnika", "(Nazwa) VALUES ('pusta tabela')", "1"},
        {"uzytkownicy", "IdUzytkownika", "(Imie) VALUES ('mieszkaniec')", "1"},
    };
    for (const auto& k : klucze) {
        SCOPED_TRACE(k.tabela);
        EXPECT_EQ(scalar("INSERT INTO "s.append(k.tabela) + " " + std::string(k.wstaw) + " RETURNING " +
                         std::string(k.klucz)),
                  k.nastepny);
    }
}

TEST_F(ImportTest, SkipsWhatWouldEndOrChangeTheImportsTransaction) {
    createSchema();
    const std::string bajty = Cp1250({
        "BEGIN;",
        "INSERT INTO tagi (IdTag, Nazwa) VALUES (1, 'przed');",
        "  start transaction isolation level serializable ;",
        "COMMIT;",
        "SAVEPOINT s;",
        "INSERT INTO tagi (IdTag, Nazwa) VALUES (2, 'COMMIT; ROLLBACK -- w tekście');",
        "rollback to savepoint s",
        "RELEASE SAVEPOINT s",
        "ROLLBACK;",
        "abort",
        "End Transaction;",
        "PREPARE TRANSACTION 'x';",
        "COMMIT PREPARED 'x';",
        "/* uwaga */ commit; -- i koniec",
        "SET client_encoding = 'LATIN2';",
        "RESET ALL;",
        "-- komentarz",
        ";",
        "INSERT INTO tagi (IdTag, Nazwa) VALUES (3, E'\\'; COMMIT; \\' żółw');",
        "INSERT INTO tagi (IdTag, Nazwa) VALUES (4, $x$; END; $x$)",
    });
    ASSERT_TRUE(ImportujBaze(plik(bajty)));
    EXPECT_EQ(scalar("SELECT string_agg(IdTag || ' ' || Nazwa, '|' ORDER BY IdTag) FROM tagi"),
              "1 przed|2 COMMIT; ROLLBACK -- w tekście|3 '; COMMIT; ' żółw|4 ; END; ");
}

TEST_F(ImportTest, AFailedImportLeavesThePreviousDatabaseUntouched) {
    createSchema();
    exec("INSERT INTO tagi (Nazwa) VALUES ('znacznik')");
    const std::vector<std::string> przed = catalogueListing(connect());
    const std::string dobre = "INSERT INTO uzytkownicy (IdUzytkownika, Nazwa) VALUES (1, 'a')\r\n";

    struct Case {
        std::string name, sciezka;
    };
    const Case cases[] = {
        {"a syntax error after good lines", plik(dobre + "INSERT INTO karty VALUES (\r\n" + dobre)},
        {"a line of 1,048,576 bytes", plik(dobre + "SELECT 1" + std::string(ImportRozmiarBufora - 8, ' ') + "\n")},
        {"a last line of 1,048,576 bytes", plik(dobre + "SELECT 1" + std::string(ImportRozmiarBufora - 8, ' '))},
        {"a commit after a statement", plik(dobre + "DELETE FROM uzytkownicy; COMMIT; SELECT 1\r\n")},
        {"a NUL byte cuts the line", plik(dobre + "SELECT 1\0; DROP TABLE wersja\r\n"s)},
        {"a word the command takes for a parameter", plik(dobre + "SELECT :a\r\n")},
        {"a folder instead of a file", katalog_.string()},
        {"no such file", (katalog_ / "brak.sql").string()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(ImportujBaze(c.sciezka));
        EXPECT_FALSE(DM->FDConnection.inTransaction());
        EXPECT_EQ(catalogueListing(connect()), przed);
        EXPECT_EQ(scalar("SELECT Major || '.' || Minor FROM wersja"), "9.3");
        EXPECT_EQ(scalar("SELECT string_agg(Nazwa, ',') FROM tagi"), "znacznik");
        EXPECT_EQ(scalar("SELECT string_agg(Nazwa, ',') FROM administratorzy"), "tusko");
    }
    // The connection is still fit for use.
    EXPECT_TRUE(ImportujBaze(plik(dobre)));
    EXPECT_EQ(scalar("SELECT string_agg(Nazwa, ',') FROM administratorzy"), "a");
    // The failure that came as an exception (the :a taken for a parameter)
    // is in the exception log.
    std::ifstream log(std::filesystem::path(std::getenv("HOME")) / "Documents" / "kandor_exception.log");
    std::stringstream tekst;
    tekst << log.rdbuf();
    EXPECT_NE(tekst.str().find("Import : "), std::string::npos) << tekst.str();
}

} // namespace
