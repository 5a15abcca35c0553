#include <gtest/gtest.h>

#include <string>

#include "core/Object_Uzytkownik.h"
#include "core/Object_Uzytkownik_Lokal.h"
#include "core/Object_Uzytkownik_Urzadzenie.h"
#include "database/TDM.h"
#include "tests/support/TestDataModule.h"

namespace {

class UzytkownicyZapis : public TestSchema {
protected:
    Object_Uzytkownik* Nowy(std::string_view email) {
        return uzytkownicy.DodajNowego(3, "Zofia", "Łęcka", "Polna 2/10", "00-950", "Warszawa", email, 2, true,
                                       "klucz u portiera", DM->Query);
    }

    Objects_Uzytkownicy uzytkownicy;
    Objects_Uzytkownicy_Lokale linki;
    Objects_Uzytkownicy_Urzadzenia urzadzenia;
};

TEST_F(UzytkownicyZapis, DodajNowegoInsertsAndAddsUnderTheNewId) {
    Object_Uzytkownik* u = Nowy("z@l.pl");
    ASSERT_NE(u, nullptr);
    EXPECT_GT(u->Id(), 0);
    EXPECT_EQ(uzytkownicy.Znajdz(u->Id()), u);
    EXPECT_EQ(u->Nazwisko.str(), "Łęcka");
    EXPECT_EQ(scalar("SELECT concat_ws('|', IdGrupyUzytkownikow, Imie, Nazwisko, Adres, KodPocztowy, Miejscowosc, "
                     "Rodzaj, Wynajmujacy, Email, Komentarz) FROM uzytkownicy WHERE IdUzytkownika = " +
                     std::to_string(u->Id())),
              "3|Zofia|Łęcka|Polna 2/10|00-950|Warszawa|2|t|z@l.pl|klucz u portiera");
}

TEST_F(UzytkownicyZapis, DodajNowegoThatTheDatabaseRefusesAddsNothing) {
    exec("CREATE UNIQUE INDEX uzytkownicy_email ON uzytkownicy (Email)");
    ASSERT_NE(Nowy("z@l.pl"), nullptr);
    EXPECT_EQ(Nowy("z@l.pl"), nullptr);
    EXPECT_EQ(uzytkownicy.Rozmiar(), 1);
    EXPECT_EQ(uzytkownicy.Znajdz(0), nullptr);
    // The connection is usable after the refusal.
    EXPECT_NE(Nowy("inny@l.pl"), nullptr);
}

TEST_F(UzytkownicyZapis, DodajPrzypisanieAndUsunPrzypisanie) {
    const DataCzas przed = TerazLokalnie();
    Object_Uzytkownik_Lokal* link = linki.DodajPrzypisanie(1, 10, DM->Query);
    ASSERT_NE(link, nullptr);
    EXPECT_GT(link->Id(), 0);
    EXPECT_EQ(link->IdUzytkownika, 1);
    EXPECT_EQ(link->IdLokalu, 10);
    EXPECT_GE(link->DataCzasAktualizacji, przed);
    EXPECT_EQ(scalar("SELECT IdUzytkownika || '/' || IdLokalu || '/' || (DataCzasAktualizacji IS NOT NULL) "
                     "FROM uzytkownicy_lokale WHERE IdUzytkownikLokal = " +
                     std::to_string(link->Id())),
              "1/10/true");

    // The pair is unique in the table: the second insert fails.
    EXPECT_EQ(linki.DodajPrzypisanie(1, 10, DM->Query), nullptr);
    EXPECT_EQ(linki.Rozmiar(), 1);

    EXPECT_TRUE(linki.UsunPrzypisanie(1, 11, DM->Query)) << "a pair without a link";
    EXPECT_EQ(linki.Rozmiar(), 1);

    exec("ALTER TABLE uzytkownicy_lokale RENAME TO uzytkownicy_lokale_stare");
    EXPECT_FALSE(linki.UsunPrzypisanie(1, 10, DM->Query));
    EXPECT_EQ(linki.Rozmiar(), 1) << "kept when the delete failed";
    exec("ALTER TABLE uzytkownicy_lokale_stare RENAME TO uzytkownicy_lokale");

    EXPECT_TRUE(linki.UsunPrzypisanie(1, 10, DM->Query));
    EXPECT_EQ(linki.Rozmiar(), 0);
    EXPECT_EQ(scalar("SELECT count(*) FROM uzytkownicy_lokale"), "0");
}

TEST_F(UzytkownicyZapis, UsunUrzadzenieDeletesRowThenElement) {
    exec("INSERT INTO uzytkownicy_urzadzenia (IdUzytkownikUrzadzenie, IdUserDeviceCloud, IdUzytkownika, IdLokalu, "
         "Email) VALUES (1, 100, 1, 10, 'a@b.pl'), (2, 200, 1, 10, 'c@b.pl')");
    urzadzenia.DodajRekord(1, 100, 1, 10, 0, "a@b.pl", 0, true, 0, {});
    urzadzenia.DodajRekord(2, 200, 1, 10, 0, "c@b.pl", 0, true, 0, {});

    EXPECT_TRUE(urzadzenia.UsunUrzadzenie(1, DM->Query));
    EXPECT_EQ(urzadzenia.Znajdz(1), nullptr);
    EXPECT_EQ(scalar("SELECT string_agg(IdUzytkownikUrzadzenie::text, ',') FROM uzytkownicy_urzadzenia"), "2");

    exec("DROP TABLE uzytkownicy_urzadzenia");
    EXPECT_FALSE(urzadzenia.UsunUrzadzenie(2, DM->Query));
    EXPECT_NE(urzadzenia.Znajdz(2), nullptr);
}

} // namespace
