#include <gtest/gtest.h>

#include <cstdint>

#include "core/Czas.h"
#include "core/Komunikaty.h"
#include "core/Mozg.h"
#include "core/Object_Brama.h"
#include "core/Object_Wejscie.h"
#include "core/Object_Wyjscie.h"
#include "core/Objects_globals.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/SettableClock.h"

namespace {

std::uint64_t Ms(std::uint64_t ms) { return ms * 10'000; }

// A gate with open output 1, close output 2 and limit switches 11 (open)
// and 12 (closed), both present only when a test adds them.
class BramyTest : public ::testing::Test {
protected:
    void SetUp() override {
        otworz = Wyjscia->DodajRekord(1, 0, 0, 1, "otwórz", 0, 0);
        zamknij = Wyjscia->DodajRekord(2, 0, 0, 2, "zamknij", 0, 0);
    }
    Object_Brama* Brama(int idOtworz, std::uint32_t impuls, std::uint32_t ruch, int krancowkaOtwarcia = 0) {
        Object_Brama* b = Bramy->DodajRekord(50, "Wjazd", idOtworz, 2, impuls, impuls, ruch, ruch,
                                             krancowkaOtwarcia, 0, 52.2, 21.0);
        ObiektyInicjalizuj();
        return b;
    }
    // The clock at ms after the start, then the gates' step.
    void Tick(std::uint64_t ms) {
        zegar.set(start + Ms(ms));
        Czas::Migawka();
        Bramy->Krok();
    }

    const std::uint64_t start = Ms(5'000'000);
    SettableClock zegar{start};
    GlobalModel model;
    RecordingWindow okno;
    Object_Wyjscie* otworz = nullptr;
    Object_Wyjscie* zamknij = nullptr;
};

TEST_F(BramyTest, ImpulseAndTravelTimesEndAtTheFirstTickPastThem) {
    Object_Brama* b = Brama(1, 1000, 15000);
    EXPECT_TRUE(b->Zamknieta);
    b->Otworz();
    EXPECT_EQ(okno.count(WM_BRAMA), 1);
    struct Case {
        std::uint64_t ms;
        bool wyjscie, otwiera, otwarta;
    };
    const Case cases[] = {
        {0, true, true, false},     {1000, true, true, false},   {1001, false, true, false},
        {14999, false, true, false}, {15000, false, false, false}, {15001, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ms);
        Tick(c.ms);
        EXPECT_EQ(otworz->Wlaczone(), c.wyjscie);
        EXPECT_EQ(b->Otwiera(), c.otwiera);
        EXPECT_EQ(b->Otwarta, c.otwarta);
        EXPECT_FALSE(b->Zamknieta);
    }
    EXPECT_EQ(okno.count(WM_BRAMA), 2) << "the command and the end of the movement";
    EXPECT_FALSE(zamknij->Wlaczone());
}

TEST_F(BramyTest, CloseDuringOpeningCutsTheOpenImpulseAndTheOpeningNeverEnds) {
    Object_Brama* b = Brama(1, 1000, 15000);
    b->Otworz();
    Tick(500);
    b->Zamknij();
    EXPECT_FALSE(otworz->Wlaczone());
    EXPECT_TRUE(zamknij->Wlaczone());
    EXPECT_TRUE(b->Zamyka());
    EXPECT_FALSE(b->Otwiera());
    for (std::uint64_t ms : {1400, 1501, 15001, 15502}) {
        Tick(ms);
        EXPECT_FALSE(b->Otwarta) << ms;
    }
    EXPECT_FALSE(zamknij->Wlaczone());
    EXPECT_TRUE(b->Zamknieta) << "closed 15 s after the close command";
}

TEST_F(BramyTest, TheOpenLimitSwitchEndsTheOpeningEarly) {
    Object_Wejscie* krancowka = Wejscia->DodajRekord(11, 0, 1, "krańcówka otwarcia");
    Object_Brama* b = Brama(1, 1000, 15000, 11);
    b->Otworz();
    Tick(3000);
    EXPECT_TRUE(b->Otwiera());
    krancowka->Stan = true;
    EXPECT_FALSE(b->Otwiera()) << "within the travel time, but at the end position";
    Tick(3010);
    EXPECT_TRUE(b->Otwarta);
    EXPECT_EQ(okno.count(WM_BRAMA), 2);
}

TEST_F(BramyTest, MovementsWithoutOutputOrTravelTime) {
    struct Case {
        const char* name;
        int idOtworz;
        std::uint32_t ruch;
        std::uint64_t ms; // first tick after the command
        bool otwartaOdRazu, otwartaPoTicku;
    };
    const Case cases[] = {
        {"no open output: open at once", 0, 15000, 0, true, true},
        {"travel 0: still opening in the same millisecond", 1, 0, 0, false, false},
        {"travel 0: open once 1 ms has passed", 1, 0, 1, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bramy->Wyczysc();
        okno.clear();
        Tick(0);
        Object_Brama* b = Brama(c.idOtworz, 1000, c.ruch);
        b->Otworz();
        EXPECT_EQ(b->Otwarta, c.otwartaOdRazu);
        EXPECT_FALSE(b->Otwiera());
        Tick(c.ms);
        EXPECT_EQ(b->Otwarta, c.otwartaPoTicku);
        EXPECT_EQ(okno.count(WM_BRAMA), c.otwartaPoTicku ? (c.otwartaOdRazu ? 1 : 2) : 1);
    }
}

TEST_F(BramyTest, SortKindZeroByNameAnyOtherById) {
    Bramy->DodajRekord(3, "Brama 10", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    Bramy->DodajRekord(1, "Brama 2", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    Bramy->DodajRekord(2, "Brama 1", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    Bramy->Sortuj(0);
    EXPECT_EQ(Ids(*Bramy), (std::vector<int>{2, 1, 3}));
    Bramy->Sortuj(1);
    EXPECT_EQ(Ids(*Bramy), (std::vector<int>{1, 2, 3}));
}

} // namespace
