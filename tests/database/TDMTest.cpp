#include <gtest/gtest.h>

#include "core/MD5.h"
#include "database/Database.h"
#include "database/TDM.h"
#include "tests/database/Catalogue.h"
#include "tests/support/TestDataModule.h"

#include <fstream>

namespace {

std::vector<std::string> ExpectedCatalogue() {
    std::ifstream file(KANDOR_SOURCE_DIR "/tests/database/expected_catalogue.txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        if (!line.empty() && line[0] != '#')
            lines.push_back(line);
    return lines;
}

class TDMTest : public TestDataModule {};

TEST_F(TDMTest, UtworzBazeDropsEverythingAndBuildsTheSchemaWithItsRows) {
    exec("CREATE TABLE obca (a integer)");
    exec("CREATE TABLE karty (stara integer)");
    exec("CREATE TABLE \"Zła Tabela\" (a integer)"); // a name that needs quoting
    createSchema();
    EXPECT_EQ(catalogueListing(connect()), ExpectedCatalogue());
    EXPECT_EQ(scalar("SELECT Major || '.' || Minor FROM wersja"), "9.3");
    EXPECT_EQ(scalar("SELECT count(*) || ' ' || min(Nazwa) || ' ' || min(Haslo) || ' ' || min(Rodzaj) FROM administratorzy"),
              "1 tusko " + SkrotHasla("tusko") + " 1");
    EXPECT_EQ(scalar("SELECT string_agg(IdGrupyZdarzen || ':' || Nazwa || ':' || Priorytet, ',' ORDER BY IdGrupyZdarzen) "
                     "FROM grupy_zdarzen"),
              "1:Alarm:1,2:Awaria:2,3:Ostrzeżenie:3,4:Informacja:4");
    EXPECT_EQ(scalar("SELECT count(*) || ' ' || min(IdRodzajZdarzeniaWbudowane) || ' ' || max(IdRodzajZdarzeniaWbudowane) "
                     "FROM rodzaj_zdarzenia_wbudowane"),
              "29 1 29");
    EXPECT_EQ(scalar("SELECT count(*) FROM rodzaj_zdarzenia"), "0");
    EXPECT_EQ(scalar("SELECT count(*) FROM pg_tables WHERE tablename IN ('obca', 'Zła Tabela')"), "0");
}

TEST_F(TDMTest, WykonajSqlRollsBackAfterAnEngineError) {
    createSchema();
    ASSERT_TRUE(WykonajSql("BEGIN"));
    ASSERT_TRUE(WykonajSql("INSERT INTO tagi (Nazwa) VALUES ('a');"));
    EXPECT_FALSE(WykonajSql("INSERT INTO tagi (Nazwa) VALUES ('a')"));
    EXPECT_FALSE(DM->FDConnection.inTransaction());
    EXPECT_EQ(scalar("SELECT count(*) FROM tagi"), "0");
    // With the insert flag a duplicate key is skipped, not an error.
    ASSERT_TRUE(WykonajSql("INSERT INTO tagi (IdTag, Nazwa) VALUES (1, 'a')", true));
    EXPECT_TRUE(WykonajSql("insert into tagi (IdTag, Nazwa) values (1, 'b');", true));
    EXPECT_EQ(scalar("SELECT string_agg(Nazwa, ',') FROM tagi"), "a");
}

// Flats with and without an address, as the change register writes them.
TEST_F(TDMTest, ChangeRegisterWritesTheFlatAsText) {
    createSchema();
    exec("INSERT INTO adresy (IdAdresu, Ulica, Numer) VALUES (1, 'Polna', '5')");
    exec("INSERT INTO lokale (IdLokalu, IdAdresu, Lokal) VALUES (10, 1, '12a'), (11, NULL, '7'), (12, 99, '8')");
    exec("INSERT INTO obszary (IdObszaru, Nazwa) VALUES (3, 'Garaż')");
    DM->TableObszary.open();

    EXPECT_TRUE(DM->RejestrujZmianeLokalu(true, 0x1234abcd, 5, 10));
    EXPECT_TRUE(DM->RejestrujZmianeLokalu(false, -1, 5, 11));
    EXPECT_TRUE(DM->RejestrujZmianeLokalu(true, 7, 5, 12));
    EXPECT_TRUE(DM->RejestrujZmianeLokalu(true, 8, 5, 404)) << "a flat without a row still gives a row";
    EXPECT_TRUE(DM->RejestrujZmianeObszaru(true, 10, 3));
    EXPECT_TRUE(DM->RejestrujZmianeObszaru(false, 11, 3));
    EXPECT_FALSE(DM->RejestrujZmianeObszaru(true, 404, 3)) << "the area's flat must exist";

    EXPECT_EQ(scalar("SELECT string_agg(IdRejestrZmianZmiana || '|' || lokal || '|' || coalesce(nr_seryjny::text, '-') || '|' "
                     "|| coalesce(obszar, '-'), ';' ORDER BY IdRejestrZmian) FROM rejestr_zmian"),
              "1|Polna 5 12a|305441741|-;2|  7|-1|-;1|  8|7|-;1|  |8|-;3|Polna 5 12a|-|Garaż;4|  7|-|Garaż");
    EXPECT_EQ(scalar("SELECT count(*) FROM rejestr_zmian WHERE DataCzasWystapienie > now() - interval '1 hour'"), "6");
}

TEST_F(TDMTest, ChangeRegisterLeavesTablesAsItFoundThem) {
    createSchema();
    exec("INSERT INTO lokale (IdLokalu, Lokal) VALUES (1, '1')");
    DM->TableRejestrZmian.open(false);
    EXPECT_TRUE(DM->RejestrujZmianeLokalu(true, 1, 0, 1));
    EXPECT_TRUE(DM->TableRejestrZmian.active());
    EXPECT_FALSE(DM->TableLokale.active());
    EXPECT_FALSE(DM->TableAdresy.active());
    DM->TableRejestrZmian.close();

    // The area's table stays the caller's: closed, the row fails.
    EXPECT_FALSE(DM->RejestrujZmianeObszaru(true, 1, 1));
    EXPECT_FALSE(DM->TableRejestrZmian.active());
    EXPECT_EQ(scalar("SELECT count(*) FROM rejestr_zmian"), "1");
}

TEST_F(TDMTest, ChangeRegisterCutsALongFlatTextToItsColumn) {
    createSchema();
    exec("INSERT INTO adresy (IdAdresu, Ulica, Numer) VALUES (1, 'Żółkiewskiego Stanisława Hetmana Koronnego', '125')");
    exec("INSERT INTO lokale (IdLokalu, IdAdresu, Lokal) VALUES (1, 1, 'Lokal użytkowy 3')");
    EXPECT_TRUE(DM->RejestrujZmianeLokalu(true, 1, 0, 1));
    EXPECT_EQ(scalar("SELECT char_length(lokal) || ' ' || lokal FROM rejestr_zmian"),
              "60 Żółkiewskiego Stanisława Hetmana Koronnego 125 Lokal użytkow");
}

TEST_F(TDMTest, DodajUzytkownikaReportsADuplicate) {
    createSchema();
    exec("CREATE UNIQUE INDEX uzytkownicy_email_test ON uzytkownicy (Email)");
    bool duplikat = true;
    const int id = DM->DodajUzytkownika(duplikat, 2, "Jan", "Łącki", "Polna 5", "Gdańsk", "80-001", "jan@example.pl", 1, true);
    EXPECT_GT(id, 0);
    EXPECT_FALSE(duplikat) << "success clears the flag";
    EXPECT_FALSE(DM->TableUzytkownicy.active());
    EXPECT_EQ(scalar("SELECT Imie || ' ' || Nazwisko || ' ' || Wynajmujacy FROM uzytkownicy WHERE IdUzytkownika = " +
                     std::to_string(id)),
              "Jan Łącki true");

    EXPECT_EQ(DM->DodajUzytkownika(duplikat, 2, "Jan", "Inny", "", "", "", "jan@example.pl", 1, false), 0);
    EXPECT_TRUE(duplikat);
    // The next one goes in: the refused row was cancelled.
    EXPECT_GT(DM->DodajUzytkownika(duplikat, 2, "Anna", "Nowa", "", "", "", "anna@example.pl", 1, false), id);
    EXPECT_FALSE(duplikat);
}

class UrzadzeniaTest : public TDMTest {
protected:
    void SetUp() override {
        TDMTest::SetUp();
        if (IsSkipped())
            return;
        createSchema();
        // Area 1 holds flat 10 and keypad 5; area 2 holds flat group 7 (flat 11) and keypad 6.
        exec("INSERT INTO obszary_obiekty (IdObszaru, IdLokalu) VALUES (1, 10)");
        exec("INSERT INTO obszary_obiekty (IdObszaru, IdZarvoKlawiatury) VALUES (1, 5), (2, 6)");
        exec("INSERT INTO obszary_obiekty (IdObszaru, IdGrupyLokali) VALUES (2, 7)");
        exec("INSERT INTO grupy_lokali_lokale (IdGrupyLokali, IdLokalu) VALUES (7, 11)");
        exec("INSERT INTO lokale (IdLokalu, Lokal) VALUES (10, '1'), (11, '2')");
        exec("INSERT INTO uzytkownicy (IdUzytkownika, Email) VALUES (100, 'a@x.pl'), (101, 'b@x.pl'), (102, '')");
        exec("INSERT INTO uzytkownicy_lokale (IdUzytkownika, IdLokalu) VALUES (100, 10), (101, 11), (102, 10)");
        // Rows the configuration no longer implies: one the cloud knows, two it does not.
        exec("INSERT INTO uzytkownicy_urzadzenia (IdUzytkownika, IdLokalu, Email, IdZarvoKlawiatury, Istnieje, "
             "IdUserDeviceCloud) VALUES (100, 10, 'old@x.pl', 5, 1, 7), (100, 10, 'gone@x.pl', 5, 1, 0), "
             "(100, 10, 'gone2@x.pl', 5, 1, NULL)");
    }
    std::string devices() {
        return scalar("SELECT string_agg(IdUzytkownika || ':' || IdLokalu || ':' || Email || ':' || IdZarvoKlawiatury "
                      "|| ':' || Istnieje, ',' ORDER BY Email) FROM uzytkownicy_urzadzenia");
    }
};

TEST_F(UrzadzeniaTest, RebuildKeepsOnlyWhatTheCloudKnows) {
    EXPECT_TRUE(DM->OdswiezUrzadzeniaUzytkownikow());
    EXPECT_EQ(devices(), "100:10:a@x.pl:5:1,101:11:b@x.pl:6:1,100:10:old@x.pl:5:0");
    EXPECT_TRUE(DM->OdswiezUrzadzeniaUzytkownikow()) << "a second rebuild changes nothing";
    EXPECT_EQ(devices(), "100:10:a@x.pl:5:1,101:11:b@x.pl:6:1,100:10:old@x.pl:5:0");
}

TEST_F(UrzadzeniaTest, AFailedRebuildLeavesTheRowsAsTheyWere) {
    const std::string before = devices();
    exec("ALTER TABLE grupy_lokali_lokale RENAME TO grupy_lokali_lokale_x");
    EXPECT_FALSE(DM->OdswiezUrzadzeniaUzytkownikow());
    EXPECT_EQ(devices(), before) << "no device may be left marked gone";
    EXPECT_FALSE(DM->FDConnection.inTransaction());
}

} // namespace
