#include <gtest/gtest.h>

#include "database/Database.h"
#include "database/SkryptWersji1.h"
#include "database/TDM.h"
#include "database/Wersje.h"
#include "tests/database/Catalogue.h"
#include "tests/support/TestDataModule.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

class WersjeTest : public TestDataModule {
protected:
    void TearDown() override {
        UstawPrzerwanieKroku(0);
        TestDataModule::TearDown();
    }

    // An empty database as version 1.0 left it.
    void budujWersje1() {
        ASSERT_TRUE(WykonajSql("BEGIN"));
        for (const char* polecenie : SkryptWersji1)
            ASSERT_TRUE(WykonajSql(polecenie)) << polecenie;
        ASSERT_TRUE(WykonajSql("COMMIT"));
    }

    std::string wersja() { return scalar("SELECT string_agg(Major || '.' || Minor, ',') FROM wersja"); }
};

// A migrated database has its columns in the order they were added, so the
// positions are dropped and the listing compared as a set.
std::vector<std::string> BezKolejnosciKolumn(std::vector<std::string> linie) {
    for (std::string& linia : linie) {
        if (!linia.starts_with("column "))
            continue;
        const auto poTabeli = linia.find(' ', 7);
        const auto poPozycji = linia.find(' ', poTabeli + 1);
        linia.erase(poTabeli, poPozycji - poTabeli);
    }
    std::sort(linie.begin(), linie.end());
    return linie;
}

TEST_F(WersjeTest, KrokWersjiReadsTheStepOfPublicWersja) {
    EXPECT_EQ(KrokWersji(), -1) << "an empty database";

    // A schema named after the user comes first on the search path; its
    // tables are not this database's.
    exec("CREATE SCHEMA \"" + user() + "\"");
    exec("CREATE TABLE \"" + user() + "\".wersja (Major integer, Minor integer)");
    exec("INSERT INTO \"" + user() + "\".wersja VALUES (9, 3)");
    EXPECT_EQ(KrokWersji(), -1) << "tables only outside schema public";
    exec("CREATE TABLE public.obca (a integer)");
    EXPECT_EQ(KrokWersji(), 0) << "no wersja table in public";
    // Gone before the rest, which creates and drops tables unqualified.
    exec("DROP SCHEMA \"" + user() + "\" CASCADE");

    struct Case {
        std::string_view name;
        std::string wersja; // the statements that make public.wersja
        int krok;
    };
    const std::string tabela = "DROP TABLE IF EXISTS public.wersja; "
                               "CREATE TABLE public.wersja (IDWersja serial PRIMARY KEY, Major integer, Minor integer); ";
    const Case cases[] = {
        {"no row", tabela, 0},
        {"the first version", tabela + "INSERT INTO public.wersja (Major, Minor) VALUES (1, 0)", 1},
        {"5.3 was never released", tabela + "INSERT INTO public.wersja (Major, Minor) VALUES (5, 3)", 0},
        {"5.10 follows 5.9", tabela + "INSERT INTO public.wersja (Major, Minor) VALUES (5, 10)", 18},
        {"7.1", tabela + "INSERT INTO public.wersja (Major, Minor) VALUES (7, 1)", 22},
        {"7.10 is not 7.1", tabela + "INSERT INTO public.wersja (Major, Minor) VALUES (7, 10)", 31},
        {"9.0 was never released", tabela + "INSERT INTO public.wersja (Major, Minor) VALUES (9, 0)", 0},
        {"the current version", tabela + "INSERT INTO public.wersja (Major, Minor) VALUES (9, 3)", 42},
        {"a newer version", tabela + "INSERT INTO public.wersja (Major, Minor) VALUES (9, 4)", 0},
        {"NULLs", tabela + "INSERT INTO public.wersja (Major, Minor) VALUES (NULL, NULL)", 0},
        {"unreadable", "DROP TABLE public.wersja; CREATE TABLE public.wersja (Major text, Minor text); "
                       "INSERT INTO public.wersja VALUES ('9', 'trzy')", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        exec(c.wersja);
        EXPECT_EQ(KrokWersji(), c.krok);
    }

    createSchema();
    EXPECT_EQ(KrokWersji(), 42) << "a new database";
}

TEST_F(WersjeTest, StepsOutsideTheChainSendNothing) {
    ASSERT_NO_FATAL_FAILURE(budujWersje1());
    const auto przed = catalogueListing(connect());
    DM->FDConnection.close();
    for (int krok : {42, 0, -1}) {
        SCOPED_TRACE(krok);
        EXPECT_FALSE(AktualizujStrukture(krok));
        EXPECT_FALSE(DM->FDConnection.connected()) << "not even a connection was opened";
    }
    EXPECT_EQ(catalogueListing(connect()), przed);
    EXPECT_EQ(wersja(), "1.0");
}

// Step 1 takes the bus settings of 1.0 from parametry by exact name, and
// falls back on the defaults when they are not numbers or not there at all.
TEST_F(WersjeTest, BusesTakeTheDefaultSettingsWhenParametersAreUnusable) {
    ASSERT_NO_FATAL_FAILURE(budujWersje1());
    exec("INSERT INTO parametry (Nazwa, Wartosc) VALUES ('WERSJA_MAGISTRALI', '5'), "
         "('predkosc_magistrali', 'szybko')");
    exec("INSERT INTO karty (IdRodzajKarty, Com, Adres) VALUES (1, 2, 1)");
    UstawPrzerwanieKroku(2);
    EXPECT_FALSE(AktualizujStrukture(1));
    EXPECT_EQ(wersja(), "1.1");
    EXPECT_EQ(scalar("SELECT string_agg(Com || ':' || Wersja || ':' || Predkosc, ',') FROM magistrale"), "2:1:19200");
    EXPECT_EQ(Parametr("predkosc_magistrali"), "szybko");
    EXPECT_EQ(Parametr("Predkosc_magistrali"), "");
    EXPECT_EQ(Parametr("wersja_magistrali"), "");

    // Without the table the step still commits, with the defaults.
    ASSERT_TRUE(UsunTabele());
    ASSERT_NO_FATAL_FAILURE(budujWersje1());
    exec("DROP TABLE parametry");
    exec("INSERT INTO karty (IdRodzajKarty, Com, Adres) VALUES (1, 4, 1)");
    UstawPrzerwanieKroku(2);
    EXPECT_FALSE(AktualizujStrukture(1));
    EXPECT_EQ(wersja(), "1.1");
    EXPECT_EQ(scalar("SELECT string_agg(Com || ':' || Wersja || ':' || Predkosc, ',') FROM magistrale"), "4:1:19200");
}

// The whole chain from an empty 1.0 database with data seeded at the steps
// that move it, compared with a new database.
TEST_F(WersjeTest, ChainBringsVersion1ToTheCurrentSchemaWithItsData) {
    createSchema();
    const auto nowa = BezKolejnosciKolumn(catalogueListing(connect()));
    ASSERT_TRUE(UsunTabele());
    ASSERT_NO_FATAL_FAILURE(budujWersje1());

    // Boards on two ports and one without, the bus settings (the wrong-case
    // name first, so that only an exact match finds the right one), serial
    // numbers with leading zeros, and rows whose columns later steps rename
    // or retype.
    exec("INSERT INTO parametry (Nazwa, Wartosc) VALUES ('WERSJA_MAGISTRALI', '5'), ('wersja_magistrali', '2'), "
         "('predkosc_magistrali', '9600')");
    exec("INSERT INTO karty (IdRodzajKarty, Com, Adres, Nazwa) VALUES (1, 1, 1, 'K1'), (1, 1, 2, 'K2'), "
         "(1, 3, 1, 'K3'), (1, NULL, 1, 'K4'), (1, NULL, 1, 'K5')");
    exec("INSERT INTO identyfikatory (NumerSeryjny, Licznik) VALUES ('000A1B', 1), ('0000', 2), ('FF', 3)");
    exec("INSERT INTO zdarzenia (IdRodzajZdarzeniaWbudowane, DataCzasWystapienie) VALUES (3, '2020-05-06')");
    exec("INSERT INTO synapsy (IdWejscia, IdRodzajZdarzenia) VALUES (1, 7)");

    UstawPrzerwanieKroku(36);
    ASSERT_FALSE(AktualizujStrukture(1));
    ASSERT_EQ(wersja(), "8.0");

    // At 8.0 flats have an e-mail and a resident, residents an e-mail, and
    // devices an e-mail: one flat's address is a resident's, two residents
    // share one, two flats share a new one, and the (4, 13) link stands
    // twice.
    exec("INSERT INTO uzytkownicy (Imie, Email) VALUES ('Jan', 'jan@x.pl'), ('Anna', 'wspolny@x.pl'), "
         "('Piotr', 'wspolny@x.pl'), ('Ewa', NULL)");
    exec("INSERT INTO lokale (IdLokalu, Lokal, Email, IdUzytkownika) VALUES (10, '1', 'jan@x.pl', 4), "
         "(11, '2', 'nowy@x.pl', NULL), (12, '3', 'nowy@x.pl', NULL), (13, '4', NULL, 4), (14, '5', '', NULL), "
         "(15, '6', 'wspolny@x.pl', NULL), (16, '7', NULL, NULL)");
    exec("INSERT INTO uzytkownicy_urzadzenia (IdUzytkownika, IdLokalu, Email, IdZarvoKlawiatury) VALUES "
         "(NULL, 16, 'wspolny@x.pl', NULL), (NULL, 10, 'jan@x.pl', 5), (4, 13, 'obcy@x.pl', 7), (4, 13, NULL, NULL)");

    ASSERT_TRUE(AktualizujStrukture(36));
    EXPECT_EQ(wersja(), "9.3");
    EXPECT_FALSE(DM->FDConnection.inTransaction());
    EXPECT_EQ(KrokWersji(), 42);
    EXPECT_EQ(BezKolejnosciKolumn(catalogueListing(connect())), nowa);

    EXPECT_EQ(scalar("SELECT string_agg(IdMagistrali || ':' || Com || ':' || Wersja || ':' || Predkosc, ',' "
                     "ORDER BY IdMagistrali) FROM magistrale"),
              "1:1:2:9600,2:3:2:9600");
    EXPECT_EQ(scalar("SELECT string_agg(Nazwa || ':' || coalesce(IdMagistrali::text, '-'), ',' ORDER BY IdKarty) "
                     "FROM karty"),
              "K1:1,K2:1,K3:2,K4:-,K5:-");
    EXPECT_EQ(scalar("SELECT string_agg(NumerSeryjny || ':' || Rodzaj, ',' ORDER BY IdIdentyfikatora) "
                     "FROM identyfikatory"),
              "a1b:1,:1,ff:1");
    EXPECT_EQ(scalar("SELECT DataCzasWystapienie::text FROM zdarzenia"), "2020-05-06 00:00:00");
    EXPECT_EQ(scalar("SELECT IdRodzajZdarzeniaWy FROM synapsy"), "7");
    EXPECT_EQ(scalar("SELECT count(*) || ' ' || count(*) FILTER (WHERE IdRodzajZdarzeniaWbudowane = 26) || ' ' || "
                     "string_agg(Nazwa, ',' ORDER BY IdRodzajZdarzeniaWbudowane) FILTER (WHERE "
                     "IdRodzajZdarzeniaWbudowane IN (14, 22, 29)) FROM rodzaj_zdarzenia_wbudowane"),
              "28 0 Nieudane wywołanie lokalu,Otwarcie drzwi identyfikatorem,Użycie kodu");
    EXPECT_EQ(scalar("SELECT string_agg(IdRejestrZmianZmiana || ':' || opis, ',' ORDER BY 1) FROM rejestr_zmian_zmiana"),
              "1:Dodanie transpondera,2:Usunięcie transpondera,3:Dodanie lokalu do obszaru,"
              "4:Usunięcie lokalu z obszaru");

    // One new resident for the new address, none for an empty or missing
    // one or for an address a resident already has.
    EXPECT_EQ(scalar("SELECT string_agg(IdUzytkownika || ':' || coalesce(Email, '-'), ',' ORDER BY IdUzytkownika) "
                     "FROM uzytkownicy"),
              "1:jan@x.pl,2:wspolny@x.pl,3:wspolny@x.pl,4:-,5:nowy@x.pl");
    // Each flat linked once to the resident of its address and to the one
    // it had; the shared address goes to the first of its residents.
    EXPECT_EQ(scalar("SELECT string_agg(IdUzytkownika || ':' || IdLokalu, ',' ORDER BY IdUzytkownika, IdLokalu) "
                     "FROM uzytkownicy_lokale"),
              "1:10,2:15,2:16,4:10,4:13,5:11,5:12");
    // Keypad devices stay devices, with the resident of their address, or
    // the one they had when no resident has it.
    EXPECT_EQ(scalar("SELECT string_agg(concat_ws(':', IdUzytkownika, IdLokalu, Email, IdZarvoKlawiatury, Rodzaj, "
                     "Istnieje), ',' ORDER BY IdUzytkownika) FROM uzytkownicy_urzadzenia"),
              "1:10:jan@x.pl:5:1:1,4:13:obcy@x.pl:7:1:1");
}

TEST_F(WersjeTest, FailedStepLeavesItsVersionAndTheChainResumesThere) {
    ASSERT_NO_FATAL_FAILURE(budujWersje1());

    UstawPrzerwanieKroku(20);
    EXPECT_FALSE(AktualizujStrukture(1));
    EXPECT_EQ(wersja(), "6.1");
    EXPECT_FALSE(DM->FDConnection.inTransaction());
    EXPECT_EQ(scalar("SELECT count(*) FROM information_schema.columns WHERE table_schema = 'public' AND "
                     "table_name IN ('synapsy', 'adresy') AND column_name IN ('idrodzajzdarzeniawe', 'kodpocztowy')"),
              "1")
        << "step 19 committed, step 20 rolled back";

    // A rental without dates, as the server refuses it in step 28.
    UstawPrzerwanieKroku(28);
    EXPECT_FALSE(AktualizujStrukture(20));
    ASSERT_EQ(wersja(), "7.7");
    exec("INSERT INTO miejsca_parkingowe_wynajem (IdMiejscaParkingowego, DataOd) VALUES (1, '2024-01-01')");
    EXPECT_FALSE(AktualizujStrukture(28));
    EXPECT_EQ(wersja(), "7.7");
    EXPECT_FALSE(DM->FDConnection.inTransaction());

    exec("UPDATE miejsca_parkingowe_wynajem SET DataDo = '2024-02-01'");
    EXPECT_TRUE(AktualizujStrukture(28));
    EXPECT_EQ(wersja(), "9.3");
}

} // namespace
