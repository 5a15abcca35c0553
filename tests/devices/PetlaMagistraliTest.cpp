#include <gtest/gtest.h>

#include <dirent.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/Komunikaty.h"
#include "core/Object_Magistrala.h"
#include "core/Objects_globals.h"
#include "core/TCPUMonitor.h"
#include "devices/PetlaMagistrali.h"
#include "devices/RamkaMagistrali.h"
#include "devices/Urzadzenia.h"
#include "tests/support/BoardSimulator.h"
#include "tests/support/TemporaryHome.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/PtyPeer.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/TemporaryHome.h"

namespace {

using namespace std::chrono_literals;
using Answer = BoardSimulator::Answer;
using Bytes = std::vector<std::uint8_t>;

// Generous: the sanitizer builds run the poll loop many times slower.
bool eventually(const std::function<bool()>& condition, std::chrono::seconds deadline = 20s) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

std::vector<int> threadIds() {
    std::vector<int> ids;
    if (DIR* dir = ::opendir("/proc/self/task")) {
        while (const dirent* entry = ::readdir(dir))
            if (entry->d_name[0] != '.')
                ids.push_back(std::atoi(entry->d_name));
        ::closedir(dir);
    }
    return ids;
}

bool pollThreadNamed() {
    for (int id : threadIds())
        if (CPUMonitor->NazwaWatku(id) == "Magistrala_Thread")
            return true;
    return false;
}

// A bus on the simulator's pseudo-terminal, opened by the device layer's
// factory as the runtime opens it; the window records what the thread posts.
struct Bus {
    Bus(int com, int version) : peer(com), simulator(peer, version), magistrala(1) {
        InicjujGlobalne();
        RejestrujUrzadzenia();
        magistrala.Com = com;
        magistrala.Wersja = version;
    }

    void open() {
        ASSERT_TRUE(magistrala.Otworz(false));
        EXPECT_TRUE(magistrala.Aktywna);
        EXPECT_TRUE(magistrala.PortOtwarty());
    }

    // Enough polls of the board for every change they bring to have been
    // stored and reported.
    void waitPolls(std::uint16_t address, std::size_t more) {
        const auto target = simulator.board(address).polls + more;
        ASSERT_TRUE(eventually([&] { return simulator.board(address).polls >= target; }));
    }

    GlobalModel model;
    RecordingWindow window;
    PtyPeer peer;
    BoardSimulator simulator;
    Object_Magistrala magistrala; // last: closed before the simulator stops
};

TEST(PetlaMagistrali, InputsAndReadingsOfBothKindsReachTheImage) {
    Bus bus(51, 2);
    bus.simulator.addBoard(300, bus::ioBoardKind);
    bus.simulator.setInputs(300, 0x15);
    bus.simulator.setPendingReading(300, {"0", 0x1234, 9});
    bus.simulator.addBoard(4095, bus::plateReaderKind);
    bus.simulator.setPendingReading(4095, {"WX1234", 0, 0});
    bus.magistrala.DodajKarte(300, bus::ioBoardKind);
    bus.magistrala.DodajKarte(4095, bus::plateReaderKind);
    bus.open();

    ASSERT_TRUE(eventually([&] { return bus.magistrala.JestKod(300) && bus.magistrala.JestKod(4095); }));
    ASSERT_TRUE(eventually([&] { return bus.magistrala.Wpis(300).Wejscia == 0x15; }));
    EXPECT_EQ(bus.magistrala.Status(300), StatusOk);
    EXPECT_EQ(bus.magistrala.Status(4095), StatusOk);

    const OdczytKarty code = bus.magistrala.PobierzKod(300);
    EXPECT_EQ(code.Kod, "0");
    EXPECT_EQ(code.Licznik, 0x1234);
    EXPECT_EQ(code.Przycisk, 9);
    EXPECT_EQ(bus.magistrala.PobierzKod(4095).Kod, "WX1234");

    // A reading is sent once: later polls bring inputs only.
    bus.waitPolls(300, 2);
    EXPECT_FALSE(bus.magistrala.JestKod(300));
    EXPECT_NE(bus.magistrala.OstatniaOdpowiedz.load(), 0u);
    EXPECT_EQ(bus.simulator.badFrames(), 0u);

    bus.simulator.setInputs(300, 0x02);
    ASSERT_TRUE(eventually([&] { return bus.magistrala.StanWejscia(300, 2) && !bus.magistrala.StanWejscia(300, 1); }));
    EXPECT_GE(bus.window.count(WM_WEJSCIA_WYJSCIA), 1);
    for (const auto& m : bus.window.messages())
        EXPECT_FALSE(m.sent) << m.message;
}

TEST(PetlaMagistrali, OutputsGoOutUntilAcknowledgedAndThenNoMore) {
    Bus bus(52, 1);
    bus.simulator.addBoard(5, bus::ioBoardKind);
    bus.magistrala.DodajKarte(5, bus::ioBoardKind);
    bus.open();

    // A new board is sent its outputs (all off) at once.
    ASSERT_TRUE(eventually([&] { return bus.simulator.board(5).outputs == 0; }));

    bus.magistrala.UstawWyjscie(5, 2);
    bus.magistrala.UstawWyjscie(5, 6);
    ASSERT_TRUE(eventually([&] { return bus.magistrala.StanWyjscia(5, 2) && bus.magistrala.StanWyjscia(5, 6); }));
    EXPECT_EQ(bus.simulator.board(5).outputs, 0x22);
    EXPECT_FALSE(bus.magistrala.StanWyjscia(5, 1));

    // What is on the line now: address and check byte only.
    bus.simulator.stop();
    const Bytes line = bus.peer.read(16, 30s); // eight polls without an answer, each the whole reply deadline
    ASSERT_EQ(line.size(), 16u);
    const auto plain = bus::encodePollFrame(5, 1, std::nullopt);
    ASSERT_EQ(plain.size, 2u);
    std::size_t start = 0;
    while (start < line.size() && line[start] != plain.data[0])
        ++start;
    for (std::size_t i = start; i + 1 < line.size(); i += 2) {
        EXPECT_EQ(line[i], plain.data[0]) << "byte " << i;
        EXPECT_EQ(line[i + 1], plain.data[1]) << "byte " << i + 1;
    }
}

// The tick may want output 1 on before the poll thread reached a new board:
// the first poll still carries it, and it reads on only once acknowledged.
TEST(PetlaMagistrali, AnOutputWantedBeforeTheFirstPollGoesOut) {
    Bus bus(59, 1);
    bus.simulator.addBoard(6, bus::ioBoardKind);
    bus.magistrala.DodajKarte(6, bus::ioBoardKind);
    EXPECT_FALSE(bus.magistrala.StanWyjscia(6, 1)) << "nothing acknowledged before the first poll";
    bus.magistrala.UstawWyjscie(6, 1);
    bus.open();

    ASSERT_TRUE(eventually([&] { return bus.simulator.board(6).outputs == 0x01; }));
    ASSERT_TRUE(eventually([&] { return bus.magistrala.StanWyjscia(6, 1); }));
}

TEST(PetlaMagistrali, SilentBoardIsReportedOnceAndRecovers) {
    Bus bus(53, 1);
    bus.simulator.addBoard(7, bus::ioBoardKind);
    bus.magistrala.DodajKarte(7, bus::ioBoardKind);
    bus.open();
    bus.waitPolls(7, 2);
    ASSERT_EQ(bus.magistrala.Status(7), StatusOk);
    bus.window.clear();

    bus.simulator.setAnswer(7, Answer::Silent);
    ASSERT_TRUE(eventually([&] { return bus.magistrala.Status(7) == StatusBrakOdpowiedzi; }));
    ASSERT_TRUE(eventually([&] { return bus.magistrala.BladWPrzebiegu.load(); }));
    bus.waitPolls(7, 3);
    EXPECT_EQ(bus.window.messages(), (std::vector<RecordingWindow::Message>{
                                         {WM_WEJSCIA_WYJSCIA, 0, 0, false}, {WM_STAN_KARTY, 53, 7, false}}));
    // A sweep without a new change clears the sweep's error mark.
    EXPECT_TRUE(eventually([&] { return !bus.magistrala.BladWPrzebiegu.load(); }));

    bus.window.clear();
    bus.simulator.setAnswer(7, Answer::Normal);
    ASSERT_TRUE(eventually([&] { return bus.magistrala.Status(7) == StatusOk; }));
    bus.waitPolls(7, 2);
    EXPECT_EQ(bus.window.messages(), (std::vector<RecordingWindow::Message>{
                                         {WM_WEJSCIA_WYJSCIA, 0, 0, false}, {WM_STAN_KARTY, 53, 7, false}}));
}

TEST(PetlaMagistrali, RefusedRepliesStoreNothingAndAcknowledgeNoOutputs) {
    struct Case {
        const char* name;
        Answer answer;
        std::optional<Bytes> garbage;
        std::uint32_t status;
    };
    const Case cases[] = {
        {"wrong check byte", Answer::BadCheck, std::nullopt, StatusBladSumy},
        {"a lone check byte", Answer::Garbage, Bytes{0x3A}, StatusBladNieznany},
        {"longer than the receive buffer", Answer::Garbage, Bytes(200, 0x45), StatusBladNieznany},
        {"stops before its check byte", Answer::Garbage, Bytes{0x45, 0x46}, StatusBrakOdpowiedzi},
    };
    Bus bus(54, 2);
    bus.simulator.addBoard(300, bus::ioBoardKind);
    bus.magistrala.DodajKarte(300, bus::ioBoardKind);
    bus.open();
    int output = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bus.simulator.setAnswer(300, Answer::Normal);
        bus.simulator.setInputs(300, 0);
        ASSERT_TRUE(eventually([&] { return bus.magistrala.Status(300) == StatusOk; }));
        bus.waitPolls(300, 1);

        // The board turns bad first; only then do its inputs and the wanted
        // outputs change, so no good reply can carry them.
        if (c.garbage)
            bus.simulator.setGarbage(300, *c.garbage);
        bus.simulator.setAnswer(300, c.answer);
        ASSERT_TRUE(eventually([&] { return bus.magistrala.Status(300) == c.status; }));
        bus.waitPolls(300, 1);
        const std::uint32_t lastAnswer = bus.magistrala.OstatniaOdpowiedz;
        bus.simulator.setInputs(300, 0x3F);
        ++output;
        bus.magistrala.UstawWyjscie(300, output);
        bus.waitPolls(300, 2);

        const WpisKarty entry = bus.magistrala.Wpis(300);
        EXPECT_EQ(entry.Status, c.status);
        EXPECT_EQ(entry.Wejscia, 0);
        EXPECT_FALSE(bus.magistrala.StanWyjscia(300, output));
        EXPECT_EQ(bus.magistrala.OstatniaOdpowiedz.load(), lastAnswer);
        // The frames did carry the outputs: only the reply was refused.
        EXPECT_EQ(bus.simulator.board(300).outputs, entry.WyjsciaZadane);
        if (c.garbage)
            bus.simulator.setGarbage(300, {});
    }
}

TEST(PetlaMagistrali, LostPortComesBackByItself) {
    Bus bus(55, 1);
    bus.simulator.addBoard(1, bus::ioBoardKind);
    bus.simulator.setInputs(1, 0x01);
    bus.magistrala.DodajKarte(1, bus::ioBoardKind);
    bus.open();
    ASSERT_TRUE(eventually([&] { return bus.magistrala.StanWejscia(1, 1); }));

    bus.simulator.stop();
    bus.peer.hangUp();
    ASSERT_TRUE(eventually([&] { return bus.magistrala.Utracona.load(); }));
    EXPECT_FALSE(bus.magistrala.Aktywna);
    EXPECT_FALSE(bus.magistrala.PortOtwarty());
    EXPECT_NE(bus.magistrala.Status(1), StatusOk);

    bus.peer.reopen();
    bus.simulator.start();
    bus.simulator.setInputs(1, 0x04);
    ASSERT_TRUE(eventually([&] { return bus.magistrala.StanWejscia(1, 3); }));
    EXPECT_TRUE(bus.magistrala.Aktywna);
    EXPECT_FALSE(bus.magistrala.Utracona);
    EXPECT_TRUE(bus.magistrala.PortOtwarty());
    EXPECT_EQ(bus.magistrala.Status(1), StatusOk);
}

TEST(PetlaMagistrali, PortMissingAtOpenIsTriedAgain) {
    Bus bus(56, 1);
    bus.simulator.addBoard(2, bus::ioBoardKind);
    bus.simulator.setInputs(2, 0x08);
    bus.magistrala.DodajKarte(2, bus::ioBoardKind);
    bus.simulator.stop();
    bus.peer.hangUp();

    EXPECT_FALSE(bus.magistrala.Otworz(false));
    EXPECT_TRUE(bus.magistrala.Utracona);
    EXPECT_FALSE(bus.magistrala.Aktywna);

    bus.peer.reopen();
    bus.simulator.start();
    ASSERT_TRUE(eventually([&] { return bus.magistrala.StanWejscia(2, 4); }));
    EXPECT_TRUE(bus.magistrala.Aktywna);
    EXPECT_FALSE(bus.magistrala.Utracona);
}

TEST(PetlaMagistrali, FullCloseEndsThePollThread) {
    Bus bus(57, 1);
    bus.simulator.addBoard(3, bus::ioBoardKind);
    bus.magistrala.DodajKarte(3, bus::ioBoardKind);
    const auto before = threadIds().size();
    bus.open();
    bus.waitPolls(3, 2);
    EXPECT_EQ(threadIds().size(), before + 1);
    EXPECT_TRUE(pollThreadNamed());

    bus.magistrala.Zamknij(false);
    EXPECT_FALSE(bus.magistrala.Aktywna);
    EXPECT_FALSE(bus.magistrala.Utracona);
    EXPECT_FALSE(bus.magistrala.PortOtwarty());
    EXPECT_EQ(threadIds().size(), before);
    EXPECT_FALSE(pollThreadNamed());

    // And it opens again with a new thread.
    bus.open();
    bus.waitPolls(3, 2);
    EXPECT_EQ(threadIds().size(), before + 1);
}

// A main window whose handler fails: what the poll thread meets when
// anything inside its loop throws.
class FailingWindow : public platform::WindowHandle {
public:
    void Post(unsigned, std::intptr_t, std::intptr_t) override {
        if (failures < 1) {
            ++failures;
            throw std::runtime_error("window gone");
        }
    }
    std::intptr_t Send(unsigned, std::intptr_t, std::intptr_t) override { return 0; }
    std::atomic<int> failures{0};
};

TEST(PetlaMagistrali, ExceptionInThePollThreadMarksTheBusLostUntilTheRetry) {
    TemporaryHome home; // the failure goes to the exception log
    FailingWindow window; // outlives the bus, whose thread may post to it
    Bus bus(58, 1);
    ObiektyUstawOkno(&window);
    bus.simulator.addBoard(4, bus::ioBoardKind);
    bus.simulator.setInputs(4, 0x01); // the first poll changes the inputs: a message
    bus.magistrala.DodajKarte(4, bus::ioBoardKind);
    // Not bus.open(): the first poll may throw and mark the bus lost before
    // its checks of the open bus run.
    ASSERT_TRUE(bus.magistrala.Otworz(false));

    ASSERT_TRUE(eventually([&] { return window.failures.load() == 1; }));
    // The bus stays lost for the retry interval (a second), long enough to see.
    EXPECT_TRUE(eventually([&] { return bus.magistrala.Utracona.load(); }));
    bus.simulator.setInputs(4, 0x10);
    ASSERT_TRUE(eventually([&] { return bus.magistrala.StanWejscia(4, 5); }));
    EXPECT_TRUE(bus.magistrala.Aktywna);
    EXPECT_FALSE(bus.magistrala.Utracona);
    ObiektyUstawOkno(&bus.window);
}

} // namespace
