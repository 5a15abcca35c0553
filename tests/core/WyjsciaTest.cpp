#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/Czas.h"
#include "core/Komunikaty.h"
#include "core/Mozg.h"
#include "core/Object_Karta.h"
#include "core/Object_Magistrala.h"
#include "core/Object_Wyjscie.h"
#include "core/Objects_globals.h"
#include "core/Uslugi.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/SettableClock.h"

namespace {

// Tick-count milliseconds as clock units.
std::uint64_t Ms(std::uint64_t ms) { return ms * 10'000; }

class WyjsciaTest : public ::testing::Test {
protected:
    void SetUp() override {
        magistrala = Magistrale->Dodaj(1, 3, 2, 19200, "M1");
        Karty->DodajRekord(10, 1, 1, 300, "Brama A");
    }
    std::uint8_t Zadane() const { return magistrala->Wpis(300).WyjsciaZadane; }
    void Potwierdz(std::uint8_t bity) {
        magistrala->ZmienWpis(300, [&](WpisKarty& w) { w.WyjsciaPotwierdzone = bity; });
    }

    SettableClock zegar{Ms(1'000'000)};
    GlobalModel model;
    RecordingWindow okno;
    Object_Magistrala* magistrala = nullptr;
};

TEST_F(WyjsciaTest, RequestsDriveTheWantedBitsAndANewOutputClearsItsBit) {
    auto* w2 = Wyjscia->DodajRekord(1, 10, 0, 2, "szlaban", 0, 0);
    auto* w6 = Wyjscia->DodajRekord(2, 10, 0, 6, "światło", 0, 0);
    ObiektyInicjalizuj();
    magistrala->ZmienWpis(300, [](WpisKarty& w) { w.WyjsciaZadane = 0b100000; });

    Wyjscia->Krok();
    EXPECT_EQ(Zadane(), 0);

    w2->Wlacz();
    w6->Wlacz();
    EXPECT_EQ(Zadane(), 0); // nothing moves before the step
    Wyjscia->Krok();
    EXPECT_EQ(Zadane(), 0b100010);

    w2->Wylacz();
    Wyjscia->Krok();
    EXPECT_EQ(Zadane(), 0b100000);
    EXPECT_TRUE(w6->Wlaczone());
}

TEST_F(WyjsciaTest, AnAcknowledgedChangeIsPostedOnce) {
    auto* w = Wyjscia->DodajRekord(1, 10, 0, 3, "brama", 0, 0);
    ObiektyInicjalizuj();
    w->Wlacz();

    // A board that never acknowledges: the bit stays wanted, nothing posted.
    Wyjscia->Krok();
    Wyjscia->Krok();
    EXPECT_EQ(Zadane(), 0b100);
    EXPECT_FALSE(w->StanRzeczywisty);
    EXPECT_TRUE(okno.messages().empty());

    Potwierdz(0b100);
    Wyjscia->Krok();
    Wyjscia->Krok();
    EXPECT_EQ(okno.messages(), (std::vector<RecordingWindow::Message>{{WM_WEJSCIA_WYJSCIA, 0, 0, false}}));
    EXPECT_TRUE(w->StanRzeczywisty);
    EXPECT_TRUE(w->StanKarty());

    Potwierdz(0);
    Wyjscia->Krok();
    EXPECT_EQ(okno.count(WM_WEJSCIA_WYJSCIA), 2);
    EXPECT_FALSE(w->StanKarty());
}

TEST_F(WyjsciaTest, OutputsWithoutAnImageEntryDriveNothing) {
    Karty->DodajRekord(11, 1, 99, 5, "bez magistrali");
    Karty->DodajRekord(12, 1, 1, 4096, "poza obrazem");
    auto* bezMagistrali = Wyjscia->DodajRekord(1, 11, 0, 1, "a", 0, 0);
    auto* pozaObrazem = Wyjscia->DodajRekord(2, 12, 0, 1, "b", 0, 0);
    auto* bezKarty = Wyjscia->DodajRekord(3, 77, 0, 1, "c", 0, 0);
    ObiektyInicjalizuj();
    for (auto* w : {bezMagistrali, pozaObrazem, bezKarty}) {
        w->Wlacz();
        w->StanRzeczywisty = true;
    }
    Wyjscia->Krok();
    for (auto* w : {bezMagistrali, pozaObrazem, bezKarty}) {
        EXPECT_FALSE(w->StanKarty()) << w->Nazwa.str();
        EXPECT_TRUE(w->StanRzeczywisty) << w->Nazwa.str(); // never read back
    }
    EXPECT_TRUE(okno.messages().empty());
}

TEST_F(WyjsciaTest, PulsePatternFollowsTheTickCount) {
    struct Case {
        const char* name;
        std::uint64_t startMs;
        std::uint32_t aktywny, nieaktywny;
        std::uint32_t poMs;
        bool poziom;
    };
    constexpr std::uint64_t tuzPrzedZawinieciem = 0xFFFF'FF00; // the tick count wraps 256 ms later
    const Case cases[] = {
        {"at the request", 1'000'000, 1000, 1000, 0, true},
        {"end of the active time, included", 1'000'000, 1000, 1000, 1000, true},
        {"just after", 1'000'000, 1000, 1000, 1001, false},
        {"end of the pause", 1'000'000, 1000, 1000, 1999, false},
        {"next period", 1'000'000, 1000, 1000, 2000, true},
        {"one pulse time 0: steady", 1'000'000, 1000, 0, 1500, true},
        {"across the wrap, active", tuzPrzedZawinieciem, 1000, 1000, 900, true},
        {"across the wrap, pause", tuzPrzedZawinieciem, 1000, 1000, 1200, false},
        {"times whose sum wraps 32 bits", 1'000'000, 0x8000'0000u, 0x8000'0000u, 5, true},
    };
    auto* w = Wyjscia->DodajRekord(1, 10, 0, 1, "kogut", 0, 0);
    ObiektyInicjalizuj();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        w->ImpulsCzasAktywny = c.aktywny;
        w->ImpulsCzasNieaktywny = c.nieaktywny;
        zegar.set(Ms(c.startMs));
        w->Wlacz();
        zegar.set(Ms(c.startMs + c.poMs));
        Wyjscia->Krok();
        EXPECT_EQ(w->Poziom, c.poziom);
        EXPECT_EQ(Zadane(), c.poziom ? 0b1 : 0);
    }

    // A request while on restarts the pattern; a released output is off.
    w->ImpulsCzasAktywny = w->ImpulsCzasNieaktywny = 1000;
    zegar.set(Ms(3'000'000));
    w->Wlacz();
    zegar.set(Ms(3'001'500));
    w->ObliczPoziom();
    EXPECT_FALSE(w->Poziom);
    w->Wlacz();
    w->ObliczPoziom();
    EXPECT_TRUE(w->Poziom);
    w->Wylacz();
    w->ObliczPoziom();
    EXPECT_FALSE(w->Poziom);
}

// A controller as far as core knows one: an element of the controllers'
// container, which the device layer fills in the program.
Objects* centraleTestowe = nullptr;

class RejestracjaCentral {
public:
    RejestracjaCentral() {
        UstawFabrykeKontenera(NrCentrale, FabrykaDla<Objects, centraleTestowe>());
    }
    ~RejestracjaCentral() { UstawFabrykeKontenera(NrCentrale, {}); }
};

class SprzetZapisujacy : public SprzetMozgu {
public:
    SprzetZapisujacy() { UstawSprzetMozgu(this); }
    ~SprzetZapisujacy() override { UstawSprzetMozgu(nullptr); }
    bool PrzygotujCentrale() override { return true; }
    bool PrzygotujSim() override { return true; }
    void KrokCentrali() override {}
    void KrokModemow() override {}
    void OtworzWyjscieCentrali(Object* centrala, int wyjscie) override {
        otwarcia.push_back({centrala->Id(), wyjscie});
    }
    struct Otwarcie {
        int centrala, wyjscie;
        bool operator==(const Otwarcie&) const = default;
    };
    std::vector<Otwarcie> otwarcia;
};

class WyjsciaCentraliTest : public ::testing::Test {
protected:
    RejestracjaCentral rejestracja;
    GlobalModel model;
    SprzetZapisujacy sprzet;
};

TEST_F(WyjsciaCentraliTest, OnlyARisingRequestSeenByTheStepOpensTheControllerOutput) {
    centraleTestowe->Nowy(40);
    auto* w = Wyjscia->DodajRekord(1, 0, 40, 2, "furtka", 0, 0);
    ObiektyInicjalizuj();
    ASSERT_NE(w->Centrala, nullptr);
    using O = SprzetZapisujacy::Otwarcie;

    // Requested and released before the step: nothing.
    w->Wlacz();
    w->Wylacz();
    Wyjscia->Krok();
    EXPECT_TRUE(sprzet.otwarcia.empty());

    // Requested for several ticks, renewed, then released: one command.
    w->Wlacz();
    Wyjscia->Krok();
    w->Wlacz();
    Wyjscia->Krok();
    EXPECT_EQ(sprzet.otwarcia, (std::vector<O>{{40, 2}}));
    EXPECT_TRUE(w->StanRzeczywisty);
    w->Wylacz();
    Wyjscia->Krok();
    EXPECT_FALSE(w->StanRzeczywisty);
    EXPECT_EQ(sprzet.otwarcia.size(), 1u);

    w->Wlacz();
    Wyjscia->Krok();
    EXPECT_EQ(sprzet.otwarcia, (std::vector<O>{{40, 2}, {40, 2}}));
}

} // namespace
