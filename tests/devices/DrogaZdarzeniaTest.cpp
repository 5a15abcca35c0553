#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/Komunikaty.h"
#include "core/Mozg.h"
#include "core/Object_Brama.h"
#include "core/Object_Czytnik.h"
#include "core/Object_Grupa_Uzytkownikow.h"
#include "core/Object_Grupa_Uzytkownikow_Brama.h"
#include "core/Object_Identyfikator.h"
#include "core/Object_Karta.h"
#include "core/Object_Magistrala.h"
#include "core/Object_Przejazd.h"
#include "core/Object_Synapsa.h"
#include "core/Object_Uzytkownik.h"
#include "core/Object_Wejscie.h"
#include "core/Object_Wyjscie.h"
#include "core/Objects_globals.h"
#include "devices/Urzadzenia.h"
#include "tests/support/BoardSimulator.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/PtyPeer.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/TestDataModule.h"
#include "tests/support/TickUntil.h"

namespace {

constexpr std::uint8_t Start = 0b000001, Koniec = 0b000010, Czujnik = 0b000100;
constexpr std::uint8_t Otworz = 0b000001, Lampa = 0b010000;

// The entry of an estate as the loader leaves it: a reader board at address
// 300 of a bus on a pseudo-terminal with the start and end sensors and the
// gate's outputs, a resident whose group may pass with remote button 1, the
// passage, and a logic link from a third input to a lamp output. The event
// rows go to the real database.
class DrogaZdarzeniaTest : public TestSchema {
protected:
    void SetUp() override {
        TestSchema::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        simulator.addBoard(300, 1);
        Magistrale->Dodaj(1, peer.com(), 2, 19200, "Wjazd");
        Karty->DodajRekord(10, 1, 1, 300, "Karta wjazdu");
        Czytniki->DodajRekord(20, 10, 1, "Czytnik wjazdu");
        start = Wejscia->DodajRekord(31, 10, 1, "Przed bramą");
        koniec = Wejscia->DodajRekord(32, 10, 2, "Za bramą");
        Wejscia->DodajRekord(33, 10, 3, "Czujnik ruchu");
        Wyjscia->DodajRekord(41, 10, 0, 1, "Otwórz", 0, 0);
        Wyjscia->DodajRekord(42, 10, 0, 2, "Zamknij", 0, 0);
        Wyjscia->DodajRekord(45, 10, 0, 5, "Lampa", 0, 0);
        brama = Bramy->DodajRekord(50, "Szlaban", 41, 42, 500, 500, 100, 100, 0, 0, 0, 0);
        GrupyUzytkownikow->DodajRekord(60, "Mieszkańcy");
        Uzytkownicy->DodajRekord(70, 60, "Anna", "Nowak", "", "", "", "", 0, false, "");
        Identyfikatory->DodajRekord(80, 70, 0, 1, "a1b2c3", 0, 0, DataCzas{}, DataCzas{}, DataCzas{});
        GrupyUzytkownikowBramy->DodajRekord(90, 60, 50, 0b1);
        przejazd = Przejazdy->DodajRekord(100, "Wjazd", 50, false, 20, 31, 0, 32, 0, 0, 0, 0, 0, 0, 0, 0, false,
                                          false, "");
        Synapsy->DodajRekord(110, 33, 0, 0, 0, 45, 0, 0, false, 0);
        ASSERT_TRUE(MozgStart());
    }
    void TearDown() override {
        MozgStop();
        TestSchema::TearDown();
    }
    void Wejscia_(std::uint8_t bity) { simulator.setInputs(300, bity); }
    bool Wyslane(std::uint8_t bit) const { return (simulator.board(300).outputs.value_or(0) & bit) != 0; }
    std::string Wiersze() {
        return scalar("SELECT string_agg(IdRodzajZdarzeniaWbudowane::text, ' ' ORDER BY IdZdarzenia) FROM zdarzenia");
    }
    // The order in which the reader, passage and event messages came.
    std::vector<unsigned> Komunikaty() const {
        std::vector<unsigned> k;
        for (const auto& m : okno.messages())
            if (m.message == WM_ODCZYT_IDENTYFIKATORA || m.message == WM_PRZEJAZD || m.message == WM_ZDARZENIE)
                k.push_back(m.message);
        return k;
    }

    bool urzadzenia = (RejestrujUrzadzenia(), true); // before the containers are made
    PtyPeer peer{9};
    BoardSimulator simulator{peer, 2};
    GlobalModel model;
    RecordingWindow okno;
    Object_Wejscie* start = nullptr;
    Object_Wejscie* koniec = nullptr;
    Object_Brama* brama = nullptr;
    Object_Przejazd* przejazd = nullptr;
};

TEST_F(DrogaZdarzeniaTest, ARemoteCodeOpensTheGateAndThePassageIsLogged) {
    Wejscia_(Start);
    ASSERT_TRUE(TickUntil([&] { return start->Stan && przejazd->Stan == 2; }));
    okno.clear();
    simulator.setPendingReading(300, {"a1b2c3", 7, 1});
    ASSERT_TRUE(TickUntil([&] { return Wyslane(Otworz); })) << "the open output in a poll frame to the board";
    const std::vector<unsigned> k = Komunikaty();
    ASSERT_GE(k.size(), 3u);
    EXPECT_EQ((std::vector<unsigned>(k.begin(), k.begin() + 3)),
              (std::vector<unsigned>{WM_ODCZYT_IDENTYFIKATORA, WM_PRZEJAZD, WM_ZDARZENIE}));
    EXPECT_EQ(scalar("SELECT IdUzytkownika || ' ' || IdIdentyfikatora || ' ' || IdBramy || ' ' || Przycisk "
                     "FROM zdarzenia WHERE IdRodzajZdarzeniaWbudowane = 10"),
              "70 80 50 1");
    EXPECT_EQ(scalar("SELECT r.Nazwa FROM zdarzenia z JOIN rodzaj_zdarzenia_wbudowane r "
                     "ON r.IdRodzajZdarzeniaWbudowane = z.IdRodzajZdarzeniaWbudowane "
                     "WHERE z.IdRodzajZdarzeniaWbudowane = 10"),
              "Przejazd utworzony");

    ASSERT_TRUE(TickUntil([&] { return przejazd->Stan == 6; })) << "the gate has opened";
    Wejscia_(0);
    ASSERT_TRUE(TickUntil([&] { return przejazd->Stan == 7; }));
    Wejscia_(Koniec);
    ASSERT_TRUE(TickUntil([&] { return przejazd->Stan == 8; }));
    Wejscia_(0);
    ASSERT_TRUE(TickUntil([&] { return przejazd->Stan == 2; }));
    EXPECT_TRUE(TickUntil([&] { return Wyslane(0b10); })) << "the close output";
    EXPECT_EQ(Wiersze(), "1 10 3 2 1 2 4 11");
}

TEST_F(DrogaZdarzeniaTest, ARefusedCodeIsLoggedAndOpensNothing) {
    Wejscia_(Start);
    ASSERT_TRUE(TickUntil([&] { return start->Stan && przejazd->Stan == 2; }));
    simulator.setPendingReading(300, {"dead", 1, 1});
    // Under a loaded sanitizer run the row can take seconds, and the board
    // may report the code again: each report is refused on its own.
    ASSERT_TRUE(TickUntil([&] { return Wiersze().rfind("1 9", 0) == 0; }, std::chrono::seconds(15))) << Wiersze();
    const std::size_t polls = simulator.board(300).polls;
    EXPECT_TRUE(TickUntil([&] { return simulator.board(300).polls > polls + 3; }));
    EXPECT_FALSE(Wyslane(Otworz));
    EXPECT_FALSE(brama->Zajeta);
    EXPECT_EQ(Wiersze().find(" 10"), std::string::npos) << Wiersze();
}

TEST_F(DrogaZdarzeniaTest, AnInputChangeReachesALinkedOutputThroughALogicLink) {
    Wejscia_(Czujnik);
    EXPECT_TRUE(TickUntil([&] { return Wyslane(Lampa); }));
    Wejscia_(0);
    EXPECT_TRUE(TickUntil([&] { return !Wyslane(Lampa); }));
}

} // namespace
