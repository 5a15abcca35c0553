#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "core/Komunikaty.h"
#include "core/Mozg.h"
#include "core/Object_Karta.h"
#include "core/Object_Magistrala.h"
#include "core/Object_Wejscie.h"
#include "core/Object_Wyjscie.h"
#include "core/Objects_globals.h"
#include "devices/Urzadzenia.h"
#include "tests/support/BoardSimulator.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/PtyPeer.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/TickUntil.h"

namespace {

// One board of kind 1 at address 300 of a version-2 bus on a pseudo-terminal,
// loaded into the model as the loader would, and the system started.
class MagistralaMozgTest : public ::testing::Test {
protected:
    void SetUp() override {
        simulator.addBoard(300, 1);
        Magistrale->Dodaj(1, peer.com(), 2, 19200, "Brama główna");
        Karty->DodajRekord(10, 1, 1, 300, "Karta wjazdu");
        wejscie = Wejscia->DodajRekord(20, 10, 3, "Pętla indukcyjna");
        wyjscie = Wyjscia->DodajRekord(30, 10, 0, 2, "Szlaban", 0, 0);
        ASSERT_TRUE(MozgStart());
    }
    void TearDown() override { MozgStop(); }

    bool urzadzenia = (RejestrujUrzadzenia(), true); // before the containers are made
    PtyPeer peer{7};
    BoardSimulator simulator{peer, 2};
    GlobalModel model;
    RecordingWindow okno;
    Object_Wejscie* wejscie = nullptr;
    Object_Wyjscie* wyjscie = nullptr;
};

TEST_F(MagistralaMozgTest, AnInputChangeReachesTheModelAndAnOutputReachesTheBoard) {
    simulator.setInputs(300, 0b000100);
    EXPECT_TRUE(TickUntil([&] { return wejscie->Stan; })) << "input 3 of the board";
    EXPECT_GE(okno.count(WM_WEJSCIA_WYJSCIA), 1);

    wyjscie->Wlacz();
    EXPECT_TRUE(TickUntil([&] { return simulator.board(300).outputs == std::optional<std::uint8_t>(0b10); }))
        << "the next poll frame carries output 2";
    EXPECT_TRUE(TickUntil([&] { return wyjscie->StanKarty(); })) << "and the board's acknowledgement comes back";
}

TEST_F(MagistralaMozgTest, StopEndsThePollingAndAStartResumesIt) {
    MozgStop();
    auto* magistrala = static_cast<Object_Magistrala*>(Magistrale->Znajdz(1));
    EXPECT_FALSE(magistrala->Aktywna);
    const std::size_t polls = simulator.board(300).polls;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(simulator.board(300).polls, polls) << "no thread polls after the stop";

    ASSERT_TRUE(MozgStart());
    simulator.setInputs(300, 0b000100);
    EXPECT_TRUE(TickUntil([&] { return wejscie->Stan; }));
}

} // namespace

namespace {

TEST(MozgStartMagistrale, ABusThatCannotOpenIsReportedOnceAndItsBoardsStillRegistered) {
    RejestrujUrzadzenia();
    PtyPeer peer{8}; // points KANDOR_COM_DIR at a folder of its own, without COM98
    GlobalModel model;
    RecordingMessageLog komunikaty;
    Magistrale->Dodaj(1, 98, 2, 19200, "Bez portu");
    Magistrale->Dodaj(2, 97, 2, 19200, "Bez kart");
    Karty->DodajRekord(10, 1, 1, 300, "Karta A");
    Karty->DodajRekord(11, 1, 1, 301, "Karta B");
    Karty->DodajRekord(12, 1, 1, 5000, "Poza obrazem");
    ASSERT_TRUE(MozgStart());
    EXPECT_TRUE(MozgIsRunning());
    EXPECT_EQ(komunikaty.lines, std::vector<std::string>{"Nie udało się połączyć z magistralami."});
    auto* bezPortu = static_cast<Object_Magistrala*>(Magistrale->Znajdz(1));
    auto* bezKart = static_cast<Object_Magistrala*>(Magistrale->Znajdz(2));
    EXPECT_TRUE(bezPortu->Wpis(300).Obecna);
    EXPECT_TRUE(bezPortu->Wpis(301).Obecna);
    EXPECT_FALSE(bezPortu->PortOtwarty());
    EXPECT_FALSE(bezKart->Aktywna || bezKart->Utracona) << "a bus without boards is never opened";
    MozgStop();
}

} // namespace
