#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "core/Object_Administrator.h"
#include "core/Object_Brama.h"
#include "core/Object_Grupa_Zdarzen.h"
#include "core/Object_Identyfikator.h"
#include "core/Object_Karta.h"
#include "core/Object_Lokal.h"
#include "core/Object_Przycisk.h"
#include "core/Object_Rodzaj_Zdarzenia_Wbudowane.h"
#include "core/Object_Uzytkownik_Lokal.h"
#include "core/Object_Wyjscie.h"
#include "core/Object_Zdarzenie.h"
#include "core/Objects_globals.h"
#include "database/OdczytajBaze.h"
#include "database/TDM.h"
#include "platform/db/DbError.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/TestDataModule.h"

namespace {

// A row in every table the load reads, and a few that show its rules.
constexpr const char* Zasiew = R"sql(
INSERT INTO rodzaj_zdarzenia (IdRodzajZdarzenia, Nazwa, Grupa, CzasTrwania) VALUES (1, 'Pożar', 1, 30);
INSERT INTO magistrale (IdMagistrali, Com, Wersja, Predkosc, Nazwa) VALUES (1, 3, 2, 19200, 'M1');
INSERT INTO karty (IdKarty, IdRodzajKarty, IdMagistrali, Adres, Nazwa) VALUES (1, 300, 1, 5, 'Brama A');
INSERT INTO czytniki (IdCzytnika, IdKarty, Czytnik, Nazwa) VALUES (1, 1, 1, 'wjazd');
INSERT INTO wejscia (IdWejscia, IdKarty, Wejscie, Nazwa) VALUES (1, 1, 1, 'pętla');
INSERT INTO wyjscia (IdWyjscia, IdKarty, Wyjscie, Nazwa, ImpulsCzasAktywny, ImpulsCzasNieaktywny)
    VALUES (1, 1, 1, 'szlaban', 500, 500), (2, 1, 2, 'lampa', NULL, NULL);
INSERT INTO przyciski (IdPrzycisku, Etykieta, Rodzaj, WszystkieWarstwy) VALUES (1, 'Otwórz', 1, 5);
INSERT INTO neurony (IdNeuronu, Nazwa, Rodzaj, GodzinaOd, GodzinaDo) VALUES (1, 'noc', 1, 5632, 1536);
INSERT INTO synapsy (IdSynapsy, IdWejscia, IdWyjscia, Negacja, Opoznienie) VALUES (1, 1, 1, 2, 3);
INSERT INTO grupy_uzytkownikow (IdGrupyUzytkownikow, Nazwa) VALUES (1, 'Mieszkańcy');
INSERT INTO grupy_uzytkownikow_bramy (IdGrupyUzytkownikowBramy, IdGrupyUzytkownikow, IdBramy, Przycisk)
    VALUES (1, 1, 1, 0);
INSERT INTO uzytkownicy (IdUzytkownika, IdGrupyUzytkownikow, Imie, Nazwisko) VALUES (1, 1, 'Jan', 'Kowalski');
INSERT INTO bramy (IdBramy, Nazwa, IdWyjsciaOtworz, CzasOtwierania, GeoSzerokosc, GeoDlugosc)
    VALUES (2, 'Wjazd', 1, 15000, 52.25, 21.0), (1, 'Wyjazd', 2, 15000, NULL, NULL);
INSERT INTO identyfikatory (IdIdentyfikatora, Rodzaj, NumerSeryjny, IdUzytkownika, OgraniczenieDo)
    VALUES (1, 1, 'ABC123', 1, '2030-01-02 03:04:05');
INSERT INTO przejazdy (IdPrzejazdu, Nazwa, IdBramy, BezCzytnika, Posredni) VALUES (1, 'Wjazd', 2, 1, NULL);
INSERT INTO przejazdy_podtrzymanie (IdPrzejazdPodtrzymanie, IdPrzejazdu, IdWejscia) VALUES (1, 1, 1);
INSERT INTO przejazdy_posrednie (IdPrzejazdPosredni, IdPrzejazduMacierzystego, IdPrzejazdu) VALUES (1, 1, 1);
INSERT INTO adresy (IdAdresu, Ulica, Numer) VALUES (1, 'Lipowa', '7');
INSERT INTO grupy_lokali (IdGrupyLokali, Nazwa) VALUES (1, 'Klatka A');
INSERT INTO lokale (IdLokalu, IdAdresu, Lokal, Pin) VALUES (1, 1, '12', 4321), (2, NULL, NULL, NULL);
INSERT INTO grupy_lokali_lokale (IdGrupyLokaliLokale, IdGrupyLokali, IdLokalu) VALUES (1, 1, 1);
INSERT INTO obszary (IdObszaru, Nazwa) VALUES (1, 'Parter');
INSERT INTO obszary_obiekty (IdObszaryObiekty, IdObszaru, IdLokalu) VALUES (1, 1, 1);
INSERT INTO zdarzenia_akcje (IdZdarzeniaAkcja, IdRodzajZdarzeniaWbudowane, IdWyjscia, Wlaczenie, Czas)
    VALUES (1, 22, 1, true, 5);
INSERT INTO miejsca_parkingowe (IdMiejscaParkingowego, Nazwa, IdLokalu) VALUES (1, 'P1', 1);
INSERT INTO uzytkownicy_lokale (IdUzytkownikLokal, IdUzytkownika, IdLokalu)
    VALUES (1, 1, 1), (2, 99, 1), (3, 1, 98);
)sql";

class OdczytajBazeTest : public TestSchema {
protected:
    void SetUp() override {
        TestSchema::SetUp();
        exec(Zasiew);
    }
    GlobalModel model;
};

TEST_F(OdczytajBazeTest, FillsEveryContainerByItsRules) {
    Administratorzy->DodajRekord(1, "admin", "", 1);
    Objects_Zdarzenia::DodajZdarzenieWbudowane(Zdarzenia, 27, TerazLokalnie(), 0, 0, 0, 0);

    OdczytajBaze();

    for (NumerKontenera nr : {NrRodzajeZdarzen, NrMagistrale, NrKarty, NrCzytniki, NrWejscia,
                              NrPrzyciski, NrNeurony, NrSynapsy, NrGrupyUzytkownikow, NrGrupyUzytkownikowBramy,
                              NrUzytkownicy, NrIdentyfikatory, NrPrzejazdy, NrPrzejazdyPodtrzymanie,
                              NrPrzejazdyPosrednie, NrAdresy, NrGrupyLokali, NrGrupyLokaliLokale, NrObszary,
                              NrObszaryObiekty, NrZdarzeniaAkcje, NrMiejscaParkingowe})
        EXPECT_EQ(KontenerGlobalny(nr)->Ilosc(), 1) << "container " << nr;
    EXPECT_GE(RodzajeZdarzenWbudowane->Ilosc(), 29);
    EXPECT_EQ(std::to_string(GrupyZdarzen->Ilosc()), scalar("SELECT count(*) FROM grupy_zdarzen"));

    const auto* karta = static_cast<Object_Karta*>(Karty->Znajdz(1));
    EXPECT_EQ(std::string(karta->Nazwa), "Brama A");
    EXPECT_EQ(karta->Adres, 5);
    EXPECT_EQ(std::string(static_cast<Object_Identyfikator*>(Identyfikatory->Znajdz(1))->NumerSeryjny()), "abc123");
    EXPECT_TRUE(static_cast<Object_Przycisk*>(Przyciski->Znajdz(1))->WszystkieWarstwy);
    EXPECT_DOUBLE_EQ(static_cast<Object_Brama*>(Bramy->Znajdz(2))->GeoSzerokosc, 52.25);

    // Nulls read as 0 and empty text; pulse times are not read.
    const auto* pusty = static_cast<Object_Lokal*>(Lokale->Znajdz(2));
    EXPECT_EQ(pusty->IdAdresu, 0);
    EXPECT_EQ(std::string(pusty->Lokal), "");
    EXPECT_EQ(static_cast<Object_Wyjscie*>(Wyjscia->Znajdz(1))->ImpulsCzasAktywny, 0u);

    // Outputs and gates keep the table's key order; the others are sorted.
    EXPECT_EQ(Ids(*Wyjscia), (std::vector<int>{1, 2}));
    EXPECT_EQ(Ids(*Bramy), (std::vector<int>{1, 2}));

    // Links to a deleted resident or flat are gone from the table and the model.
    EXPECT_EQ(Ids(*UzytkownicyLokale), (std::vector<int>{1}));
    EXPECT_EQ(scalar("SELECT count(*) FROM uzytkownicy_lokale"), "1");

    // The run's events start again; the administrators are not the load's.
    EXPECT_EQ(Zdarzenia->Ilosc(), 0);
    EXPECT_EQ(Administratorzy->Ilosc(), 1);
    EXPECT_FALSE(DM->TableGrupyZdarzen.active());
}

// A table of an old schema that lacks a column fails the load half-way:
// the live model stays the previous load, whole, and the error reaches the
// caller.
TEST_F(OdczytajBazeTest, FailureHalfWayKeepsThePreviousModel) {
    OdczytajBaze();
    Object* karta = Karty->Znajdz(1);
    Objects* lokale = Lokale;
    exec("INSERT INTO karty (IdKarty, IdRodzajKarty, IdMagistrali, Adres, Nazwa) VALUES (2, 300, 1, 6, 'B')");
    exec("ALTER TABLE lokale DROP COLUMN Pin");

    EXPECT_ANY_THROW(OdczytajBaze());

    EXPECT_EQ(Karty->Znajdz(1), karta);
    EXPECT_EQ(Karty->Ilosc(), 1);
    EXPECT_EQ(Lokale, lokale);
    EXPECT_EQ(Lokale->Ilosc(), 2);
    EXPECT_EQ(KontenerGlobalny(NrKarty), static_cast<Objects*>(Karty));
}

// Large containers are sorted while the next tables are read: they still
// arrive in kind 0 order, and a step failing while such a sort runs leaves
// the previous model as it was.
TEST_F(OdczytajBazeTest, LargeTablesArriveSortedAndAFailureAfterThemKeepsTheModel) {
    exec("INSERT INTO identyfikatory (IdIdentyfikatora, Rodzaj, NumerSeryjny) "
         "SELECT 100 + i, 1, upper(substr(md5(i::text), 1, 10)) FROM generate_series(1, 12000) i");
    exec("INSERT INTO uzytkownicy (IdUzytkownika, Nazwisko, Imie) "
         "SELECT 100 + i, 'Nazwisko ' || (i % 997), 'Imię ' || i FROM generate_series(1, 11000) i");
    OdczytajBaze();
    for (NumerKontenera nr : {NrIdentyfikatory, NrUzytkownicy}) {
        const Objects* k = KontenerGlobalny(nr);
        ASSERT_GT(k->Rozmiar(), 10000);
        for (int i = 1; i < k->Rozmiar(); ++i)
            ASSERT_LE(k->Porownaj(0, k->Element(i - 1), k->Element(i)), 0) << "position " << i;
    }

    Objects* identyfikatory = Identyfikatory;
    exec("ALTER TABLE lokale DROP COLUMN Pin");
    EXPECT_ANY_THROW(OdczytajBaze());
    EXPECT_EQ(Identyfikatory, identyfikatory);
    EXPECT_EQ(Identyfikatory->Ilosc(), 12001);
}

TEST_F(OdczytajBazeTest, EmptyTableGivesAnEmptyContainer) {
    OdczytajBaze();
    exec("DELETE FROM przyciski");
    OdczytajBaze();
    EXPECT_EQ(Przyciski->Ilosc(), 0);
    EXPECT_EQ(KontenerGlobalny(NrPrzyciski), static_cast<Objects*>(Przyciski));
}

} // namespace
