#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Czas.h"
#include "core/Object_Grupa_Lokali.h"
#include "core/Object_Grupa_Lokali_Lokal.h"
#include "core/Object_Neuron.h"
#include "core/Object_Rodzaj_Zdarzenia_Wbudowane.h"
#include "core/Object_Wyjscie.h"
#include "core/Object_Zdarzenia_Akcja.h"
#include "core/Objects_globals.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/SettableClock.h"

namespace {

using Etap = Object_Zdarzenia_Akcja::Etap;

class ZdarzeniaAkcjeTest : public ::testing::Test {
protected:
    void SetUp() override {
        wyjscie = Wyjscia->DodajRekord(1, 0, 0, 1, "furtka", 0, 0);
        neuron = static_cast<Object_Neuron*>(Neurony->Nowy(2));
    }
    // Step 15 of one tick, after a fresh snapshot of the clock.
    void Tick() {
        Czas::Migawka();
        ZdarzeniaAkcje->Krok();
    }
    Object_Zdarzenia_Akcja* Akcja(int id, int wbudowane, int wyjscie, int neuron, bool wlaczenie, int czas,
                                  int centrala = 0, int klawiatura = 0, int grupa = 0) {
        return ZdarzeniaAkcje->DodajRekord(id, wbudowane, centrala, klawiatura, grupa, wyjscie, neuron, wlaczenie,
                                           czas);
    }

    SettableClock zegar;
    GlobalModel model;
    Object_Wyjscie* wyjscie = nullptr;
    Object_Neuron* neuron = nullptr;
};

TEST_F(ZdarzeniaAkcjeTest, TriggersOnlyTheActionsTheEventMatches) {
    GrupyLokali->DodajRekord(7, "Klatka A");
    GrupyLokaliLokale->DodajRekord(1, 7, 40);
    GrupyLokaliLokale->DodajRekord(2, 8, 41);
    Akcja(1, 22, 1, 0, true, 5);                 // any controller
    Akcja(2, 22, 1, 0, true, 5, 3);              // controller 3
    Akcja(3, 22, 1, 0, true, 5, 3, 11);          // controller 3, keypad 11
    Akcja(4, 22, 1, 0, true, 5, 0, 0, 7);        // flats of group 7
    Akcja(5, 15, 1, 0, true, 5);                 // another event
    struct Case {
        const char* name;
        int wbudowane, centrala, klawiatura, lokal;
        std::string wyzwolone;
    };
    const Case cases[] = {
        {"controller 3, no keypad, no flat", 22, 3, 0, 0, "1 2"},
        {"another controller", 22, 4, 0, 0, "1"},
        {"keypad 11 of controller 3", 22, 3, 11, 0, "1 2 3"},
        {"keypad 11 of another controller", 22, 4, 11, 0, "1"},
        {"a flat of the group", 22, 4, 0, 40, "1 4"},
        {"a flat of another group", 22, 4, 0, 41, "1"},
        {"another event", 15, 3, 11, 40, "5"},
        {"an event no action names", 9, 3, 11, 40, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (int i = 0; i < ZdarzeniaAkcje->Rozmiar(); ++i)
            static_cast<Object_Zdarzenia_Akcja*>(ZdarzeniaAkcje->Element(i))->Stan = Etap::Bezczynna;
        ZdarzeniaAkcje->Wyzwol(c.wbudowane, c.centrala, c.klawiatura, c.lokal);
        std::string wyzwolone;
        for (int id = 1; id <= 5; ++id)
            if (static_cast<Object_Zdarzenia_Akcja*>(ZdarzeniaAkcje->Znajdz(id))->Stan == Etap::Wyzwolona)
                wyzwolone += (wyzwolone.empty() ? "" : " ") + std::to_string(id);
        EXPECT_EQ(wyzwolone, c.wyzwolone);
    }
}

// Triggered in tick T, the output goes on in T's own step, the end time is
// set in T+1, and the output goes off in the first tick more than 5 s after.
TEST_F(ZdarzeniaAkcjeTest, TimedOutputActionSwitchesOnAndBackAtTheRightTicks) {
    Object_Zdarzenia_Akcja* a = Akcja(1, 22, 1, 0, true, 5, 3);
    ZdarzeniaAkcje->Wyzwol(22, 3, 0, 0);
    Tick();
    EXPECT_TRUE(wyjscie->Wlaczone());
    zegar.advance(0.01);
    Tick();
    EXPECT_EQ(a->Stan, Etap::Czeka);
    zegar.advance(4.99);
    Tick();
    EXPECT_TRUE(wyjscie->Wlaczone());
    zegar.advance(0.02);
    Tick();
    EXPECT_FALSE(wyjscie->Wlaczone());
    EXPECT_EQ(a->Stan, Etap::Bezczynna);
}

TEST_F(ZdarzeniaAkcjeTest, RetriggerWhileWaitingReappliesAndRestartsTheTime) {
    Akcja(1, 22, 1, 0, true, 5);
    ZdarzeniaAkcje->Wyzwol(22, 3, 0, 0);
    Tick();
    Tick();
    zegar.advance(4.0);
    wyjscie->Wylacz(); // something else switched it off meanwhile
    ZdarzeniaAkcje->Wyzwol(22, 3, 0, 0);
    Tick();
    EXPECT_TRUE(wyjscie->Wlaczone());
    Tick();
    zegar.advance(4.0); // 8 s after the first trigger, 4 s after the second
    Tick();
    EXPECT_TRUE(wyjscie->Wlaczone());
    zegar.advance(1.1);
    Tick();
    EXPECT_FALSE(wyjscie->Wlaczone());
}

TEST_F(ZdarzeniaAkcjeTest, UntimedActionSwitchesToTheOppositeAtEachTrigger) {
    Object_Zdarzenia_Akcja* a = Akcja(1, 22, 1, 0, true, 0);
    for (int i = 0; i < 2; ++i) {
        wyjscie->Wlacz();
        ZdarzeniaAkcje->Wyzwol(22, 3, 0, 0);
        Tick();
        EXPECT_FALSE(wyjscie->Wlaczone());
        EXPECT_EQ(a->Stan, Etap::Bezczynna);
    }
}

TEST_F(ZdarzeniaAkcjeTest, NodeHoldsOneActivationPerCycleHoweverOftenRetriggered) {
    Akcja(1, 22, 0, 2, true, 10);
    ZdarzeniaAkcje->Wyzwol(22, 3, 0, 0);
    Tick();
    EXPECT_EQ(neuron->AktywneWejscia, 1);
    Tick();
    zegar.advance(6.0);
    ZdarzeniaAkcje->Wyzwol(22, 3, 0, 0);
    Tick();
    Tick();
    EXPECT_EQ(neuron->AktywneWejscia, 1);
    zegar.advance(9.0); // 15 s after the first trigger: the retrigger restarted the time
    Tick();
    EXPECT_EQ(neuron->AktywneWejscia, 1);
    zegar.advance(1.1);
    Tick();
    EXPECT_EQ(neuron->AktywneWejscia, 0);
}

// Switching a node off that nothing holds on changes nothing, so the end of
// the cycle must not leave it with an activation nobody gave.
TEST_F(ZdarzeniaAkcjeTest, NodeReleaseItNeverCountedIsNotUndone) {
    Akcja(1, 22, 0, 2, false, 1);
    ZdarzeniaAkcje->Wyzwol(22, 3, 0, 0);
    Tick();
    Tick();
    zegar.advance(1.1);
    Tick();
    EXPECT_EQ(neuron->AktywneWejscia, 0);

    neuron->Aktywuj();
    ZdarzeniaAkcje->Wyzwol(22, 3, 0, 0);
    Tick();
    EXPECT_EQ(neuron->AktywneWejscia, 0);
    Tick();
    zegar.advance(1.1);
    Tick();
    EXPECT_EQ(neuron->AktywneWejscia, 1);
}

TEST_F(ZdarzeniaAkcjeTest, ActionWhoseTargetIsGoneDoesNothing) {
    Object_Zdarzenia_Akcja* a = Akcja(1, 22, 99, 98, true, 5);
    ZdarzeniaAkcje->Wyzwol(22, 3, 0, 0);
    Tick();
    EXPECT_EQ(a->Stan, Etap::Bezczynna);
}

TEST_F(ZdarzeniaAkcjeTest, SortKindsOrderByTheirFirstKeyThenTheNext) {
    RodzajeZdarzenWbudowane->DodajRekord(22, "Otwarcie kodem", 0, 0);
    RodzajeZdarzenWbudowane->DodajRekord(15, "Rozmowa", 0, 0);
    Wyjscia->DodajRekord(3, 0, 0, 2, "brama 10", 0, 0);
    Wyjscia->DodajRekord(4, 0, 0, 3, "brama 9", 0, 0);
    Akcja(1, 15, 3, 0, true, 20);
    Akcja(2, 22, 4, 0, false, 6);
    Akcja(3, 22, 3, 0, true, 5);
    auto kolejnosc = [](int rodzaj) {
        ZdarzeniaAkcje->Sortuj(rodzaj);
        std::vector<int> ids;
        for (int i = 0; i < ZdarzeniaAkcje->Rozmiar(); ++i)
            ids.push_back(ZdarzeniaAkcje->Element(i)->Id());
        return ids;
    };
    EXPECT_EQ(kolejnosc(1), (std::vector<int>{2, 3, 1})); // kind's name, then output's, naturally
    EXPECT_EQ(kolejnosc(5), (std::vector<int>{2, 3, 1})); // output's name naturally, then kind's
    EXPECT_EQ(kolejnosc(6), (std::vector<int>{2, 3, 1})); // off before on, then kind's name
    EXPECT_EQ(kolejnosc(7), (std::vector<int>{3, 2, 1})); // time, then kind's name
}

} // namespace
