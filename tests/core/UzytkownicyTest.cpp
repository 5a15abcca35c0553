#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/MD5.h"
#include "core/Object_Administrator.h"
#include "core/Object_Grupa_Uzytkownikow.h"
#include "core/Object_Grupa_Uzytkownikow_Brama.h"
#include "core/Object_Identyfikator.h"
#include "core/Object_Lokal.h"
#include "core/Object_Rodzaj_Identyfikatora.h"
#include "core/Object_Uzytkownik.h"
#include "core/Object_Uzytkownik_Lokal.h"
#include "core/Object_Uzytkownik_Urzadzenie.h"
#include "core/Objects_globals.h"
#include "tests/support/ModelSupport.h"

namespace {

Object_Uzytkownik* Resident(Objects_Uzytkownicy& kontener, int id, std::string_view imie, std::string_view nazwisko,
                            std::string_view miejscowosc = "") {
    return kontener.DodajRekord(id, 0, imie, nazwisko, "", "", miejscowosc, "", 0, false, "");
}

TEST(Obejmuje, ReaderButtonZeroAlwaysThenOneBitPerButton) {
    struct Case {
        const char* name;
        std::int32_t przycisk;
        int button;
        bool expected;
    };
    const Case cases[] = {
        {"mask 0, button 0", 0, 0, true},
        {"mask 0, button 1", 0, 1, false},
        {"mask 0, button 2", 0, 2, false},
        {"mask 5, button 0", 5, 0, true},
        {"mask 5, button 1 (bit 0)", 5, 1, true},
        {"mask 5, button 2 (bit 1)", 5, 2, false},
        {"mask 5, button 3 (bit 2)", 5, 3, true},
        {"mask 5, button 4 (bit 3)", 5, 4, false},
        {"mask 5, button 33 wraps to bit 0", 5, 33, true},
        {"mask 4, button 33 wraps to bit 0", 4, 33, false},
        {"mask 4, button 35 wraps to bit 2", 4, 35, true},
        {"sign bit, button 32", INT32_MIN, 32, true},
        {"sign bit, button 31", INT32_MIN, 31, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Object_Grupa_Uzytkownikow_Brama prawo(1);
        prawo.Przycisk = c.przycisk;
        EXPECT_EQ(prawo.Obejmuje(c.button), c.expected);
    }
}

TEST(Uzytkownicy, SortKindZeroBySurnameFirstNameThenTown) {
    Objects_Uzytkownicy kontener;
    Resident(kontener, 1, "Jan", "Nowak");
    Resident(kontener, 2, "Adam", "Nowak");
    Resident(kontener, 3, "Ewa", "Kowalska 10");
    Resident(kontener, 4, "Ewa", "Kowalska 2");
    Resident(kontener, 5, "Adam", "nowak", "Zabrze");
    Resident(kontener, 6, "Adam", "Nowak", "Bytom");
    // Repeated: the shuffle before each sort must not show through.
    for (int proba = 0; proba < 10; ++proba) {
        kontener.Sortuj(0);
        EXPECT_EQ(Ids(kontener), (std::vector<int>{4, 3, 2, 6, 5, 1}));
    }
}

class ResidentsModel : public ::testing::Test {
protected:
    GlobalModel model;
};

// The counts come from the identifiers, as the residents window gets them.
TEST_F(ResidentsModel, SortKindSixByIdentifierCountThenName) {
    Resident(*Uzytkownicy, 1, "Jan", "Nowak");
    Resident(*Uzytkownicy, 2, "Adam", "Nowak");
    Resident(*Uzytkownicy, 3, "Ewa", "Kowalska");
    Resident(*Uzytkownicy, 4, "Anna", "Zielińska");
    // Counts: 1 -> 3, 2 -> 4, 3 -> 3, 4 -> 0; residents 1 and 3 tie.
    const int wlasciciele[] = {1, 2, 3, 1, 2, 3, 1, 2, 3, 2};
    int id = 1;
    for (int wlasciciel : wlasciciele) {
        Identyfikatory->DodajRekord(id, wlasciciel, 0, 1, std::to_string(id), 0, 0, {}, {}, {})->Polacz();
        ++id;
    }
    Uzytkownicy->ZerujLiczniki();
    Identyfikatory->PoliczPrzypisania();
    for (int proba = 0; proba < 10; ++proba) {
        Uzytkownicy->Sortuj(6);
        EXPECT_EQ(Ids(*Uzytkownicy), (std::vector<int>{4, 3, 1, 2}));
    }
}

TEST_F(ResidentsModel, GroupRightsKindZeroByLinkedGroupNameOtherwiseById) {
    GrupyUzytkownikow->DodajRekord(1, "Grupa 10");
    GrupyUzytkownikow->DodajRekord(2, "Grupa 2");
    GrupyUzytkownikow->DodajRekord(3, "Garaż");
    GrupyUzytkownikowBramy->DodajRekord(11, 1, 0, 0);
    GrupyUzytkownikowBramy->DodajRekord(12, 2, 0, 0);
    GrupyUzytkownikowBramy->DodajRekord(13, 3, 0, 0);
    GrupyUzytkownikowBramy->DodajRekord(10, 1, 0, 0);
    for (int i = 0; i < GrupyUzytkownikowBramy->Rozmiar(); ++i)
        GrupyUzytkownikowBramy->Element(i)->Polacz();

    for (int proba = 0; proba < 10; ++proba) {
        GrupyUzytkownikowBramy->Sortuj(0);
        const std::vector<int> ids = Ids(*GrupyUzytkownikowBramy);
        ASSERT_EQ(ids.size(), 4u);
        EXPECT_EQ(ids[0], 13);
        EXPECT_EQ(ids[1], 12);
        // One group's rights compare equal: either order.
        EXPECT_TRUE((ids[2] == 10 && ids[3] == 11) || (ids[2] == 11 && ids[3] == 10));
    }
    GrupyUzytkownikowBramy->Sortuj(1);
    EXPECT_EQ(Ids(*GrupyUzytkownikowBramy), (std::vector<int>{10, 11, 12, 13}));

    // Unlinked rights fall back to their ids under kind 0 as well.
    Objects_Grupy_Uzytkownikow_Bramy niepolaczone;
    for (int id : {5, 3, 4})
        niepolaczone.DodajRekord(id, 1, 0, 0);
    niepolaczone.Sortuj(0);
    EXPECT_EQ(Ids(niepolaczone), (std::vector<int>{3, 4, 5}));
}

TEST_F(ResidentsModel, FlatsOfAResidentAndResidentsOfAFlatTouchNothingButTheTarget) {
    Resident(*Uzytkownicy, 1, "Jan", "Nowak");
    Resident(*Uzytkownicy, 2, "Ewa", "Nowak");
    for (int id : {10, 20})
        Lokale->DodajRekord(id, 0, std::to_string(id), 0, 0, false, 0, false, "", 0, false, false, 0);
    UzytkownicyLokale->DodajRekord(1, 1, 10, {});
    UzytkownicyLokale->DodajRekord(2, 1, 20, {});
    UzytkownicyLokale->DodajRekord(3, 1, 10, {}); // the same flat twice
    UzytkownicyLokale->DodajRekord(4, 1, 30, {}); // a flat that is not loaded
    UzytkownicyLokale->DodajRekord(5, 2, 10, {});
    for (int i = 0; i < UzytkownicyLokale->Rozmiar(); ++i)
        UzytkownicyLokale->Element(i)->Polacz();

    UzytkownicyLokale->Pierwszy();
    UzytkownicyLokale->Nastepny();
    const Object* kursor = UzytkownicyLokale->Biezacy();

    Objects lokale;
    EXPECT_EQ(UzytkownicyLokale->LokaleUzytkownika(1, lokale), 3);
    EXPECT_EQ(Ids(lokale), (std::vector<int>{10, 20})) << "walked from the last link";
    Objects mieszkancy;
    EXPECT_EQ(UzytkownicyLokale->UzytkownicyLokalu(10, mieszkancy), 3);
    EXPECT_EQ(Ids(mieszkancy), (std::vector<int>{2, 1}));
    EXPECT_EQ(UzytkownicyLokale->UzytkownicyLokalu(99, mieszkancy), 0);

    EXPECT_EQ(UzytkownicyLokale->Biezacy(), kursor) << "the shared cursor stays";
    lokale.Zapomnij();
    mieszkancy.Zapomnij();
}

TEST(UzytkownicyUrzadzenia, ZnajdzCloudTakesTheLastWithThatId) {
    Objects_Uzytkownicy_Urzadzenia kontener;
    kontener.DodajRekord(1, 500, 1, 1, 0, "a@b.pl", 0, true, 0, {});
    kontener.DodajRekord(2, 0, 1, 1, 0, "c@b.pl", 0, true, 0, {});
    kontener.DodajRekord(3, 500, 2, 1, 0, "d@b.pl", 0, true, 0, {});
    EXPECT_EQ(kontener.ZnajdzCloud(500)->Id(), 3);
    EXPECT_EQ(kontener.ZnajdzCloud(0)->Id(), 2);
    EXPECT_EQ(kontener.ZnajdzCloud(7), nullptr);
}

TEST(RodzajeIdentyfikatorow, FourFixedKindsAndUnknown) {
    Objects_Rodzaje_Identyfikatorow rodzaje;
    EXPECT_EQ(rodzaje.Ilosc(), 4);
    EXPECT_EQ(rodzaje.Nazwa(1), "Pilot");
    EXPECT_EQ(rodzaje.Nazwa(3), "Tablica rejestracyjna");
    EXPECT_EQ(rodzaje.Nazwa(4), "Kod tymczasowy");
    EXPECT_EQ(rodzaje.Nazwa(0), "Nieznany");
    EXPECT_EQ(rodzaje.Nazwa(5), "Nieznany");
}

TEST(Administratorzy, HasloKeepsTheFirstSixteenDigitsOfTheDigest) {
    Objects_Administratorzy kontener;
    const std::string skrot = SkrotHasla("tusko");
    ASSERT_EQ(skrot.size(), 32u);
    auto* a = kontener.DodajRekord(1, "portier-nocny-zmiana-b", skrot, 5);
    EXPECT_EQ(a->Haslo.str(), skrot.substr(0, 16));
    EXPECT_EQ(a->Nazwa.str(), "portier-nocny-zmiana");
}

} // namespace
