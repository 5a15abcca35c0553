#include <gtest/gtest.h>

#include "core/Czas.h"
#include "core/Object_Grupa_Zdarzen.h"
#include "core/Object_Rodzaj_Zdarzenia.h"
#include "core/Objects_globals.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/SettableClock.h"

namespace {

class RodzajeZdarzenTest : public ::testing::Test {
protected:
    void SetUp() override {
        pierwszy = RodzajeZdarzen->DodajRekord(1, "Alarm", 0, 0, 0, 5, 2, "");
        kolejny = RodzajeZdarzen->DodajRekord(2, "Alarm trwa", 0, 0, 0, 0, 0, "");
        pierwszy->Polacz();
        kolejny->Polacz();
        Czas::Migawka();
    }
    void Uplyw(double sekundy) {
        zegar.advance(sekundy);
        Czas::Migawka();
    }

    SettableClock zegar;
    GlobalModel model;
    Object_Rodzaj_Zdarzenia* pierwszy = nullptr;
    Object_Rodzaj_Zdarzenia* kolejny = nullptr;
};

TEST_F(RodzajeZdarzenTest, DurationEndsTheActivationButNotTheHold) {
    pierwszy->Wlacz();
    EXPECT_TRUE(pierwszy->Aktywny());
    Uplyw(4.9);
    EXPECT_TRUE(pierwszy->Aktywny());
    EXPECT_FALSE(pierwszy->Wygasl());
    Uplyw(0.1);
    EXPECT_FALSE(pierwszy->Aktywny());
    EXPECT_TRUE(pierwszy->Wygasl());
    pierwszy->Wylacz();
    EXPECT_FALSE(pierwszy->Wygasl());
    EXPECT_EQ(pierwszy->Termin, Czas::Zero());
}

// The follow-up is held by another source; the first kind ran out and is
// released before the closing step ever handed over to the follow-up.
TEST_F(RodzajeZdarzenTest, ReleaseOfARunOutKindLeavesAFollowUpItNeverActivated) {
    kolejny->Wlacz();
    pierwszy->Wlacz();
    Uplyw(6);
    pierwszy->Wylacz();
    EXPECT_EQ(kolejny->LicznikAktywacji(), 1);
    EXPECT_TRUE(kolejny->Aktywny());
}

TEST_F(RodzajeZdarzenTest, ExtraReleasesNeverDriveTheCountBelowZero) {
    pierwszy->Wylacz();
    pierwszy->Wylacz();
    EXPECT_EQ(pierwszy->LicznikAktywacji(), 0);
    EXPECT_FALSE(pierwszy->Aktywny());
    kolejny->Wlacz();
    EXPECT_TRUE(kolejny->Aktywny());
}

TEST_F(RodzajeZdarzenTest, SortKindsOrderByTheirFirstKey) {
    RodzajeZdarzen->Wyczysc();
    GrupyZdarzen->DodajRekord(1, "Awaria", 2);
    GrupyZdarzen->DodajRekord(2, "Alarm", 1);
    // id, name, group, symbol, colour, duration
    RodzajeZdarzen->DodajRekord(10, "B", 1, 3, 0x20, 1, 0, "");
    RodzajeZdarzen->DodajRekord(11, "C", 2, 1, 0x30, 3, 0, "");
    RodzajeZdarzen->DodajRekord(12, "A", 1, 2, 0x10, 2, 0, "");
    for (int i = 0; i < RodzajeZdarzen->Rozmiar(); ++i)
        RodzajeZdarzen->Element(i)->Polacz();
    struct Case {
        int rodzaj;
        std::vector<int> ids;
    };
    const Case cases[] = {
        {0, {12, 10, 11}}, // name
        {1, {11, 12, 10}}, // group name, then name
        {2, {11, 12, 10}}, // symbol
        {3, {12, 10, 11}}, // colour
        {4, {10, 12, 11}}, // duration
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rodzaj);
        RodzajeZdarzen->Sortuj(c.rodzaj);
        EXPECT_EQ(Ids(*RodzajeZdarzen), c.ids);
    }
}

} // namespace
