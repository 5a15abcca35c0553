#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/Object_Adres.h"
#include "core/Object_Grupa_Lokali.h"
#include "core/Object_Grupa_Lokali_Lokal.h"
#include "core/Object_Lokal.h"
#include "core/Object_Miejsce_Parkingowe.h"
#include "core/Object_Obszar.h"
#include "core/Object_Obszar_Obiekt.h"
#include "core/Object_Uzytkownik.h"
#include "core/Objects_globals.h"
#include "tests/support/ModelSupport.h"

namespace {

Object_Lokal* Flat(int id, int centrala, std::int32_t numer, std::uint16_t pin, int adres = 0,
                   std::string_view lokal = "") {
    return Lokale->DodajRekord(id, adres, lokal, centrala, pin, true, numer, false, "", 0, false, false, 0);
}

int IdOf(const Object* element) { return element ? element->Id() : 0; }

class FlatsModel : public ::testing::Test {
protected:
    GlobalModel model;
};

// Flats of controllers 3 and 4, added out of id order so that "later in
// display order" and "larger id" disagree.
TEST_F(FlatsModel, ControllerLookupsTakeTheLaterFlatAndTheUnsignedPin) {
    Flat(7, 3, 12, 100);
    Flat(2, 3, 12, 65535);
    Flat(5, 4, 12, 100);
    Flat(9, 3, 7, 0);

    struct Case {
        const char* name;
        int centrala;
        std::int32_t numer;
        int expected;
    };
    const Case flats[] = {
        {"two flats with one number: the later one", 3, 12, 2},
        {"the same number at another controller", 4, 12, 5},
        {"single match", 3, 7, 9},
        {"unknown controller", 8, 12, 0},
        {"unknown number", 3, 99, 0},
    };
    for (const Case& c : flats) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IdOf(Lokale->ZnajdzLokalCentrali(c.centrala, c.numer)), c.expected);
    }

    struct PinCase {
        const char* name;
        int centrala;
        std::int64_t pin;
        int expected;
    };
    const PinCase pins[] = {
        {"65535 is found as 65535", 3, 65535, 2},
        {"-1 is not 65535", 3, -1, 0},
        {"a number past 16 bits does not wrap", 3, 65536 + 100, 0},
        {"PIN of controller 3", 3, 100, 7},
        {"the same PIN at controller 4", 4, 100, 5},
        {"PIN 0", 3, 0, 9},
        {"unknown controller", 8, 100, 0},
    };
    for (const PinCase& c : pins) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IdOf(Lokale->ZnajdzPin(c.centrala, c.pin)), c.expected);
    }
}

// The encoder server's lookup must not disturb a walk of the main thread.
TEST_F(FlatsModel, LookupsLeaveTheCursorAlone) {
    Flat(1, 3, 1, 11);
    Flat(2, 3, 2, 22);
    Flat(3, 3, 3, 33);
    GrupyLokaliLokale->DodajRekord(1, 1, 1);
    GrupyLokaliLokale->DodajRekord(2, 1, 2);
    ObszaryObiekty->DodajRekord(1, 1, 5, 0, 0);
    ObszaryObiekty->DodajRekord(2, 1, 6, 0, 0);
    Lokale->Pierwszy();
    Lokale->Nastepny();
    GrupyLokaliLokale->Pierwszy();
    ObszaryObiekty->Pierwszy();

    Lokale->ZnajdzPin(3, 11);
    Lokale->ZnajdzLokalCentrali(3, 1);
    GrupyLokaliLokale->ZawieraLokal(1);
    ObszaryObiekty->ObszarKlawiatury(5);

    EXPECT_EQ(IdOf(Lokale->Biezacy()), 2);
    EXPECT_EQ(IdOf(GrupyLokaliLokale->Biezacy()), 1);
    EXPECT_EQ(IdOf(ObszaryObiekty->Biezacy()), 1);
}

TEST_F(FlatsModel, ZawieraLokalTellsWhetherAFlatIsInSomeGroup) {
    for (int id : {1, 2, 3})
        Flat(id, 3, id, static_cast<std::uint16_t>(id));
    GrupyLokali->DodajRekord(1, "Klatka A");
    GrupyLokali->DodajRekord(2, "Klatka B");
    GrupyLokaliLokale->DodajRekord(10, 1, 1);
    GrupyLokaliLokale->DodajRekord(11, 1, 2);
    GrupyLokaliLokale->DodajRekord(12, 2, 2);

    const struct {
        const char* name;
        int lokal;
        bool expected;
    } cases[] = {
        {"in one group", 1, true},
        {"in two groups", 2, true},
        {"in none", 3, false},
        {"unknown flat", 99, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GrupyLokaliLokale->ZawieraLokal(c.lokal), c.expected);
    }

    GrupyLokaliLokale->Usun(10);
    EXPECT_FALSE(GrupyLokaliLokale->ZawieraLokal(1)) << "its only membership removed";
    GrupyLokaliLokale->Usun(11);
    EXPECT_TRUE(GrupyLokaliLokale->ZawieraLokal(2)) << "still in the other group";
}

TEST_F(FlatsModel, ObszarKlawiaturyTakesTheLaterLinkedRowOfThatKeypad) {
    Obszary->DodajRekord(1, "Garaż");
    Obszary->DodajRekord(2, "Klatka B");
    Obszary->DodajRekord(3, "Wjazd");
    GrupyLokali->DodajRekord(1, "Klatka A");
    ObszaryObiekty->DodajRekord(10, 1, 5, 0, 0);
    ObszaryObiekty->DodajRekord(11, 2, 0, 1, 0); // a flat group: keypad 0
    ObszaryObiekty->DodajRekord(12, 2, 6, 0, 0);
    ObszaryObiekty->DodajRekord(13, 3, 5, 0, 0);
    ObszaryObiekty->DodajRekord(14, 99, 7, 0, 0); // its area is gone
    for (int i = 0; i < ObszaryObiekty->Rozmiar(); ++i)
        ObszaryObiekty->Element(i)->Polacz();

    const struct {
        const char* name;
        int klawiatura;
        int expected;
    } cases[] = {
        {"keypad in two areas: the later row", 5, 3},
        {"keypad in one area", 6, 2},
        {"member row not linked", 7, 0},
        {"keypad in no area", 8, 0},
        {"no keypad: not the flat group's area", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IdOf(ObszaryObiekty->ObszarKlawiatury(c.klawiatura)), c.expected);
    }
}

// Each link step takes every pointer from its own container, and id 0 or an
// absent id leaves it null.
TEST_F(FlatsModel, LinkStepsResolveFromTheirOwnContainers) {
    Adresy->DodajRekord(1, "00-001", "Miasto", "Polna", "2");
    Flat(1, 3, 1, 1, 1, "1");
    Object_Lokal* bezAdresu = Flat(2, 3, 2, 2, 99, "2");
    GrupyLokali->DodajRekord(1, "Klatka A");
    Obszary->DodajRekord(1, "Garaż");
    Uzytkownicy->Nowy(4);
    Lokale->Element(0)->Polacz();
    bezAdresu->Polacz();
    EXPECT_EQ(IdOf(static_cast<Object_Lokal*>(Lokale->Element(0))->Adres), 1);
    EXPECT_EQ(bezAdresu->Adres, nullptr);
    EXPECT_EQ(bezAdresu->Centrala, nullptr) << "no controller container without the device layer";

    auto* czlonek = GrupyLokaliLokale->DodajRekord(1, 1, 2);
    czlonek->Polacz();
    EXPECT_EQ(IdOf(czlonek->GrupaLokali), 1);
    EXPECT_EQ(czlonek->Lokal, bezAdresu);

    auto* obiekt = ObszaryObiekty->DodajRekord(1, 1, 0, 1, 1);
    obiekt->Polacz();
    EXPECT_EQ(IdOf(obiekt->Obszar), 1);
    EXPECT_EQ(obiekt->Klawiatura, nullptr);
    EXPECT_EQ(IdOf(obiekt->GrupaLokali), 1);
    EXPECT_EQ(IdOf(obiekt->Lokal), 1);

    auto* miejsce = MiejscaParkingowe->DodajRekord(1, 1, 2, "P1", true, 4, 5, 0, 0, 0);
    miejsce->Polacz();
    EXPECT_EQ(IdOf(miejsce->Adres), 1);
    EXPECT_EQ(miejsce->Lokal, bezAdresu);
    EXPECT_EQ(IdOf(miejsce->UzytkownikWynajmujacy), 4);
    EXPECT_EQ(miejsce->UzytkownikZajmujacy, nullptr) << "resident 5 does not exist";
    EXPECT_EQ(miejsce->Grupa, nullptr);
    EXPECT_EQ(miejsce->Brama, nullptr);
}

// Four flats in three houses; flats 1 and 2 at controller "B", flat 3 at
// "A", flat 4 at none.
class FlatOrder : public FlatsModel {
protected:
    void SetUp() override {
        Adresy->DodajRekord(1, "", "", "Polna", "2");
        Adresy->DodajRekord(2, "", "", "Polna", "10");
        Adresy->DodajRekord(3, "", "", "Akacjowa", "5");
        Flat(1, 0, 30, 1, 2, "1");
        Flat(2, 0, 10, 2, 1, "10");
        Flat(3, 0, 20, 3, 1, "2");
        Flat(4, 0, 40, 4, 3, "1");
        for (int i = 0; i < Lokale->Rozmiar(); ++i)
            Lokale->Element(i)->Polacz();
        static_cast<Object_Lokal*>(Lokale->Znajdz(1))->Centrala = &centralaB;
        static_cast<Object_Lokal*>(Lokale->Znajdz(2))->Centrala = &centralaB;
        static_cast<Object_Lokal*>(Lokale->Znajdz(3))->Centrala = &centralaA;
        Objects_Lokale::UstawNazweCentrali([](const Object* c) { return std::string(c->Id() == 1 ? "A" : "B"); });

        GrupyLokali->DodajRekord(1, "Klatka A");
        GrupyLokali->DodajRekord(2, "Klatka B");
        GrupyLokali->DodajRekord(3, "Klatka A2");
        GrupyLokaliLokale->DodajRekord(10, 1, 1);
        GrupyLokaliLokale->DodajRekord(11, 2, 3);
        GrupyLokaliLokale->DodajRekord(12, 1, 2);
        GrupyLokaliLokale->DodajRekord(13, 3, 4);
        GrupyLokaliLokale->DodajRekord(14, 2, 1);
        for (int i = 0; i < GrupyLokaliLokale->Rozmiar(); ++i)
            GrupyLokaliLokale->Element(i)->Polacz();
    }
    void TearDown() override { Objects_Lokale::UstawNazweCentrali(nullptr); }

    Object centralaA{1};
    Object centralaB{2};
};

TEST_F(FlatOrder, FlatsSortByAddressNaturally) {
    const struct {
        const char* name;
        int rodzaj;
        std::vector<int> expected;
    } cases[] = {
        {"street, house number, flat", 0, {4, 3, 2, 1}},
        {"house number, street, flat", 1, {3, 2, 4, 1}},
        {"flat, house number, street", 2, {4, 1, 3, 2}},
        {"controller (none first), house number, street, flat", 3, {4, 3, 2, 1}},
        {"number inside the controller", 4, {2, 3, 1, 4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The sort shuffles first: a compare that only works for some
        // starting orders shows within a few rounds.
        for (int round = 0; round < 5; ++round) {
            Lokale->Sortuj(c.rodzaj);
            EXPECT_EQ(Ids(*Lokale), c.expected);
        }
    }
}

TEST_F(FlatOrder, GroupMembersSortByGroupThenFlat) {
    const struct {
        const char* name;
        int rodzaj;
        std::vector<int> expected;
    } cases[] = {
        {"larger group id first", Objects_Grupy_Lokali_Lokale::SortujGrupamiMalejaco, {13, 11, 14, 10, 12}},
        // Byte by byte: house number "10" comes before "2".
        {"group name, then street, house number, flat", 0, {10, 12, 13, 14, 11}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (int round = 0; round < 5; ++round) {
            GrupyLokaliLokale->Sortuj(c.rodzaj);
            EXPECT_EQ(Ids(*GrupyLokaliLokale), c.expected);
        }
    }
}

} // namespace
