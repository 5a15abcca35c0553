#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/Czas.h"
#include "core/Mozg.h"
#include "core/Object_Neuron.h"
#include "core/Object_Przycisk.h"
#include "core/Object_Rodzaj_Zdarzenia.h"
#include "core/Object_Synapsa.h"
#include "core/Object_Wejscie.h"
#include "core/Object_Wyjscie.h"
#include "core/Objects_globals.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/SettableClock.h"

namespace {

constexpr int Godzina(int h, int m) { return h * 256 + m; }

class LogikaTest : public ::testing::Test {
protected:
    // The logic steps of one tick, after the clock moved by the seconds.
    void Tick(double sekundy = 0) {
        zegar.advance(sekundy);
        Czas::Migawka();
        Synapsy->Oznacz();
        Synapsy->Krok();
    }
    Object_Synapsa* Link(int id, int wejscie, int neuronWe, int neuronWy, int wyjscie, bool negacja = false,
                         int opoznienie = 0) {
        return Synapsy->DodajRekord(id, wejscie, neuronWe, 0, 0, wyjscie, neuronWy, 0, negacja, opoznienie);
    }

    SettableClock zegar;
    GlobalModel model;
};

TEST_F(LogikaTest, DailyWindowIncludingAcrossMidnight) {
    Object_Neuron* n = Neurony->DodajRekord(1, "okno", 0, 0, 0, 0);
    n->Aktywuj();
    struct Case {
        int od, do_, t;
        bool wynik;
    };
    const Case cases[] = {
        {Godzina(22, 0), Godzina(6, 0), Godzina(23, 30), true},
        {Godzina(22, 0), Godzina(6, 0), Godzina(5, 59), true},
        {Godzina(22, 0), Godzina(6, 0), Godzina(6, 0), false},
        {Godzina(22, 0), Godzina(6, 0), Godzina(21, 59), false},
        {Godzina(22, 0), Godzina(6, 0), Godzina(22, 0), true},
        {Godzina(8, 0), Godzina(16, 0), Godzina(8, 0), true},
        {Godzina(8, 0), Godzina(16, 0), Godzina(16, 0), false},
        {Godzina(8, 0), Godzina(16, 0), Godzina(7, 59), false},
        {Godzina(7, 0), Godzina(7, 0), Godzina(3, 0), true}, // equal bounds: the whole day
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.od << "-" << c.do_ << " at " << c.t);
        n->GodzinaOd = c.od;
        n->GodzinaDo = c.do_;
        EXPECT_EQ(n->Oblicz(Object_Neuron::SekundyZegara(), c.t), c.wynik);
    }
}

TEST_F(LogikaTest, KindsAndCountsDecideTheCondition) {
    struct Case {
        const char* name;
        int rodzaj, wejscia, aktywne;
        bool wynik;
    };
    const Case cases[] = {
        {"OR, none active", 0, 3, 0, false},   {"OR, one active", 0, 3, 1, true},
        {"AND, two of three", 1, 3, 2, false}, {"AND, three of three", 1, 3, 3, true},
        {"AND without links", 1, 0, 0, false}, {"unknown kind", 2, 1, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Object_Neuron n(1);
        n.Rodzaj = c.rodzaj;
        for (int i = 0; i < c.wejscia; ++i)
            n.DodajWejscie();
        for (int i = 0; i < c.aktywne; ++i)
            n.Aktywuj();
        EXPECT_EQ(n.Oblicz(), c.wynik);
    }
}

// Event actions release nodes too: extra releases must leave the count at
// zero, so one later activation makes the node true again.
TEST_F(LogikaTest, CountStaysAtZeroAndOneActivationCounts) {
    Object_Neuron n(1);
    n.DodajWejscie();
    n.Dezaktywuj();
    n.Dezaktywuj();
    EXPECT_EQ(n.AktywneWejscia, 0);
    EXPECT_FALSE(n.Oblicz());
    n.Aktywuj();
    EXPECT_TRUE(n.Oblicz());
    n.Dezaktywuj();
    EXPECT_FALSE(n.Oblicz());
}

TEST_F(LogikaTest, HoldKeepsTheNodeTrueWithoutADropWhenItsInputsEnd) {
    Object_Neuron n(1);
    n.Podtrzymanie = 10;
    n.Aktywuj();
    const std::int64_t t0 = Object_Neuron::SekundyZegara();
    EXPECT_TRUE(n.Oblicz(t0, 0));
    n.Dezaktywuj();
    EXPECT_TRUE(n.Oblicz(t0 + 1, 0)) << "the evaluation that sees the end starts the hold";
    EXPECT_TRUE(n.Oblicz(t0 + 10, 0));
    EXPECT_FALSE(n.Oblicz(t0 + 11, 0));
    EXPECT_FALSE(n.Oblicz(t0 + 12, 0));

    Object_Neuron bez(2);
    bez.Aktywuj();
    EXPECT_TRUE(bez.Oblicz(t0, 0));
    bez.Dezaktywuj();
    EXPECT_FALSE(bez.Oblicz(t0, 0)) << "without a hold the node falls at once";
}

TEST_F(LogikaTest, NegatedLinkDrivesItsOutputFromTheFirstTick) {
    Object_Wejscie* we = Wejscia->DodajRekord(1, 0, 1, "czujnik");
    Object_Wyjscie* wy = Wyjscia->DodajRekord(2, 0, 0, 1, "lampa", 0, 0);
    Link(3, 1, 0, 0, 2, true);
    ObiektyInicjalizuj();
    Tick();
    EXPECT_TRUE(wy->Wlaczone());
    we->Stan = true;
    Tick();
    EXPECT_FALSE(wy->Wlaczone());
}

TEST_F(LogikaTest, DelayCountsWholeSecondsOfTheLogicClockAndReleaseIsImmediate) {
    // Half a second into a second of the logic clock, as a tick may be.
    zegar.set(zegar.now() / 10'000'000 * 10'000'000 + 5'000'000);
    Object_Wejscie* we = Wejscia->DodajRekord(1, 0, 1, "czujnik");
    Object_Wyjscie* wy = Wyjscia->DodajRekord(2, 0, 0, 1, "syrena", 0, 0);
    Link(3, 1, 0, 0, 2, false, 3);
    ObiektyInicjalizuj();
    we->Stan = true;
    Tick();
    struct Case {
        double krok;
        bool wlaczone;
    };
    // 2.5 s later the seconds have advanced by 3.
    const Case cases[] = {{1.0, false}, {1.0, false}, {0.4, false}, {0.1, true}, {5.0, true}};
    for (const auto& c : cases) {
        Tick(c.krok);
        EXPECT_EQ(wy->Wlaczone(), c.wlaczone);
    }
    we->Stan = false;
    Tick(0.01);
    EXPECT_FALSE(wy->Wlaczone());
    we->Stan = true;
    Tick(0.01);
    EXPECT_FALSE(wy->Wlaczone()) << "the delay starts afresh";
}

// input -> node -> output, an AND of two inputs, and a held node feeding an
// event kind: the whole network through the tick's two steps.
TEST_F(LogikaTest, NodesPassThroughLinksToOutputsAndEventKinds) {
    Object_Wejscie* a = Wejscia->DodajRekord(1, 0, 1, "A");
    Object_Wejscie* b = Wejscia->DodajRekord(2, 0, 2, "B");
    Object_Wyjscie* wy = Wyjscia->DodajRekord(3, 0, 0, 1, "brama", 0, 0);
    Object_Rodzaj_Zdarzenia* alarm = RodzajeZdarzen->DodajRekord(4, "Alarm", 0, 0, 0, 0, 0, "");
    Object_Neuron* i = Neurony->DodajRekord(10, "oba", 1, 0, 0, 2);
    Link(20, 1, 0, 10, 0);
    Link(21, 2, 0, 10, 0);
    Link(22, 0, 10, 0, 3);
    Synapsy->DodajRekord(23, 0, 10, 0, 0, 0, 0, 4, false, 0);
    ObiektyInicjalizuj();
    Synapsy->UstalKolejnosc();
    EXPECT_EQ(i->LiczbaWejsc, 2);

    a->Stan = true;
    Tick();
    Tick();
    EXPECT_FALSE(wy->Wlaczone());
    b->Stan = true;
    Tick();
    Tick();
    EXPECT_TRUE(wy->Wlaczone());
    EXPECT_TRUE(alarm->Aktywny());
    a->Stan = false;
    for (int t = 0; t < 3; ++t) {
        Tick(0.5);
        EXPECT_TRUE(wy->Wlaczone()) << "held for 2 s, tick " << t;
    }
    Tick(2.0);
    EXPECT_FALSE(wy->Wlaczone());
    EXPECT_FALSE(alarm->Aktywny());
    EXPECT_EQ(alarm->LicznikAktywacji(), 0);
}

TEST_F(LogikaTest, LevelsFollowTheChainFromTheInputsAndTheOrderIsBySourceName) {
    Wejscia->DodajRekord(1, 0, 1, "B wejście");
    Przyciski->DodajRekord(2, "A przycisk", "", 0, 0, 0, 0, 0, false);
    Object_Neuron* n1 = Neurony->DodajRekord(10, "N1", 0, 0, 0, 0);
    Object_Neuron* n2 = Neurony->DodajRekord(11, "N2", 0, 0, 0, 0);
    Object_Synapsa* s3 = Link(32, 0, 11, 0, 0);
    Object_Synapsa* s2 = Link(31, 0, 10, 11, 0);
    Object_Synapsa* s1 = Link(30, 1, 0, 10, 0);
    Object_Synapsa* przycisk = Synapsy->DodajRekord(33, 0, 0, 2, 0, 0, 10, 0, false, 0);
    ObiektyInicjalizuj();
    Synapsy->UstalKolejnosc();
    EXPECT_EQ(s1->Poziom, 1);
    EXPECT_EQ(n1->Poziom, 2);
    EXPECT_EQ(s2->Poziom, 2);
    EXPECT_EQ(n2->Poziom, 3);
    EXPECT_EQ(s3->Poziom, 3);
    EXPECT_EQ(przycisk->Poziom, 0);
    EXPECT_EQ(Ids(*Synapsy), (std::vector<int>{33, 30, 31, 32}));
}

TEST_F(LogikaTest, ButtonsFollowTheirKind) {
    struct Case {
        const char* name;
        int rodzaj;
        std::vector<char> kroki; // n: press, z: release
        std::vector<bool> wcisniety;
    };
    const Case cases[] = {
        {"click", Object_Przycisk::Klik, {'n', 'z', 'n', 'z'}, {true, false, true, false}},
        {"toggle", Object_Przycisk::Bistabilny, {'n', 'z', 'n', 'z', 'n'}, {true, true, true, false, true}},
        {"other kind", 7, {'n', 'z', 'n', 'z'}, {true, true, true, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Object_Przycisk p(1);
        p.Rodzaj = c.rodzaj;
        for (std::size_t k = 0; k < c.kroki.size(); ++k) {
            if (c.kroki[k] == 'n')
                p.Nacisnij();
            else
                p.Zwolnij(true);
            EXPECT_EQ(p.Wcisniety, c.wcisniety[k]) << "step " << k;
        }
    }
}

TEST_F(LogikaTest, ButtonLinksToItsEventKindAndParentOnlyForPositiveIds) {
    RodzajeZdarzen->DodajRekord(5, "Dzwonek", 0, 0, 0, 0, 0, "");
    Object_Przycisk* rodzic = Przyciski->DodajRekord(1, "Grupa", "", 0, 0, 0, 0, 0, false);
    Object_Przycisk* p = Przyciski->DodajRekord(2, "Furtka", "", 0, 0, 0, 5, 1, false);
    Object_Przycisk* bez = Przyciski->DodajRekord(3, "Bez", "", 0, 0, 0, -5, -1, false);
    ObiektyInicjalizuj();
    EXPECT_EQ(p->Rodzic, rodzic);
    ASSERT_NE(p->Zdarzenie, nullptr);
    EXPECT_EQ(p->Zdarzenie->Id(), 5);
    EXPECT_EQ(bez->Rodzic, nullptr);
    EXPECT_EQ(bez->Zdarzenie, nullptr);
    EXPECT_EQ(Object_Przycisk(9).Kolor, static_cast<std::int32_t>(0xFF00000F));
}

TEST_F(LogikaTest, SortKindsOrderByTheirFirstKey) {
    Neurony->DodajRekord(1, "C", 1, Godzina(8, 0), Godzina(9, 0), 5);
    Neurony->DodajRekord(2, "A", 1, Godzina(7, 0), Godzina(9, 0), 9);
    Neurony->DodajRekord(3, "B", 0, Godzina(9, 0), Godzina(9, 0), 1);
    Przyciski->DodajRekord(11, "B", "z", 1, 3, 9, 0, 0, false);
    Przyciski->DodajRekord(12, "C", "x", 0, 2, 8, 0, 0, false);
    Przyciski->DodajRekord(13, "A", "y", 1, 1, 7, 0, 0, false);
    struct Case {
        Objects* kontener;
        int rodzaj;
        std::vector<int> ids;
    };
    const Case cases[] = {
        {Neurony, 0, {2, 3, 1}}, {Neurony, 1, {3, 2, 1}}, {Neurony, 2, {2, 1, 3}}, {Neurony, 3, {3, 1, 2}},
        {Przyciski, 0, {13, 11, 12}}, {Przyciski, 1, {12, 13, 11}}, {Przyciski, 2, {12, 13, 11}},
        {Przyciski, 3, {13, 12, 11}}, {Przyciski, 4, {13, 12, 11}}, {Przyciski, 5, {13, 11, 12}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ids[0] << " kind " << c.rodzaj);
        c.kontener->Sortuj(c.rodzaj);
        EXPECT_EQ(Ids(*c.kontener), c.ids);
    }
}

} // namespace
