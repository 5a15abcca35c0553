#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/Mozg.h"
#include "core/Objects_globals.h"
#include "devices/Object_Com.h"
#include "devices/Object_Sim_Modem.h"
#include "devices/Object_Zarvo_Centrala.h"
#include "devices/Urzadzenia.h"
#include "tests/support/ControllerPeer.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/ModemSimulator.h"
#include "tests/support/PtyPeer.h"

namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

TEST(PasujeKomenda, MatchesCaseBlindAndUnsolicitedLinesByTheirTail) {
    struct Case {
        std::string_view name, line, command;
        bool matches;
        std::string_view argument;
    };
    const Case cases[] = {
        {"echo with its argument", "AT+CFUN=1", "AT+CFUN", true, "1"},
        {"case-blind", "at+cfun=1", "AT+CFUN", true, "1"},
        {"echo of a query has no argument", "AT+CPIN?", "AT+CPIN", true, ""},
        {"answer by the command's tail, blanks skipped", "+CPIN:  READY", "AT+CPIN", true, "READY"},
        {"caret form", "^CONN:1,0", "AT^CONN", true, "1,0"},
        {"a plain line has no tail to match", "CPIN: READY", "AT+CPIN", false, ""},
        {"another command", "+CLIP: \"601\"", "AT+CPIN", false, ""},
        {"shorter than the command", "AT", "ATI", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string_view arg = "untouched";
        EXPECT_EQ(PasujeKomenda(c.line, c.command, &arg), c.matches);
        if (c.matches) {
            EXPECT_EQ(arg, c.argument);
        }
    }
}

TEST(NumerDoWybrania, KeepsOnlyWhatADialCarries) {
    EXPECT_EQ(NumerDoWybrania("+48 (12) 345-67-89"), "+48123456789");
    EXPECT_EQ(NumerDoWybrania("*21#;ATH"), "*21#");
    EXPECT_EQ(NumerDoWybrania("brak"), "");
}

// The receive half without a port: lines are cut from the bytes however
// the reads split them, noise at a line's start is dropped up to its line
// end, and a whole buffer without a line end is dropped.
TEST(ObjectSimModem, BytesThatArriveAreCutIntoLinesHoweverTheyAreRead) {
    struct Case {
        std::string_view name;
        std::vector<std::string> reads;
        std::string caller;
        bool connected;
        std::string keys;
    };
    const std::string sixtyDigits(60, '6');
    const Case cases[] = {
        {"a call and a key in one read",
         {"\r\n+CLIP: \"600\",129\r\n\r\n^CONN:1,0\r\n\r\n+DTMF: #\r\n"},
         "600",
         true,
         "#"},
        {"split anywhere", {"\r\n+CL", "IP: \"600\"\r", "\n\r\n^CONN:1,0\r\n"}, "600", true, ""},
        {"noise before a line", {"\x7f~noise\r\n^CONN:1,0\r\n+DTMF: 5\r\n"}, "", true, "5"},
        {"a whole buffer without a line end",
         {std::string(Object_Sim_Modem::PojemnoscOdbioru, 'A'), "\r\n^CONN:1,0\r\n+DTMF: 7\r\n"},
         "",
         true,
         "7"},
        {"a key with no call answered is dropped", {"\r\n+DTMF: #\r\n"}, "", false, ""},
        {"a key while the dial still rings is dropped", {"ATD600;\r\r\nOK\r\n\r\n+DTMF: #\r\n"}, "", false, ""},
        {"the call's end drops the keys it left", {"\r\n^CONN:1,0\r\n\r\n+DTMF: #\r\n\r\nNO CARRIER\r\n"}, "",
         false, ""},
        {"keys past the bound are dropped", {"\r\n^CONN:1,0\r\n" + [] {
             std::string keys;
             for (int i = 0; i < 40; ++i)
                 keys += "\r\n+DTMF: 1\r\n";
             return keys;
         }()},
         "", true, std::string(Object_Sim_Modem::PojemnoscDtmf, '1')},
        {"a caller's number is cut to 50 characters",
         {"\r\n+CLIP: \"" + sixtyDigits + "\"\r\n"},
         sixtyDigits.substr(0, 50),
         false,
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Object_Sim_Modem modem(1);
        for (const std::string& read : c.reads)
            modem.Przyjmij(std::span(reinterpret_cast<const std::uint8_t*>(read.data()), read.size()));
        EXPECT_EQ(modem.NumerDzwoniacego, c.caller);
        EXPECT_EQ(modem.Polaczenie(), c.connected);
        EXPECT_EQ(modem.CyfryDtmf, c.keys);
    }
}

// A controller with its GSM modem, each on a pseudo-terminal, started as the
// system starts them and ticked by the real tick.
class ModemTest : public ::testing::Test {
protected:
    void SetUp() override {
        centrala = Centrale->Dodaj(1, "Klatka A", controllerLine.com(), 0x00FE, 0x1234, 5, 0, false, {}, {}, {}, {},
                                   {});
        modem = ModemySim->Dodaj(1, "Modem A", static_cast<std::uint8_t>(modemLine.com()), 1234);
        ASSERT_TRUE(MozgStart());
        ASSERT_EQ(modem->StanInicjalizacji, 1) << "the modem's port opened";
        ASSERT_EQ(centrala->Modem, modem);
        ASSERT_EQ(modem->Centrala, centrala);
    }

    // A tick, then the modem's answers, as the line would bring them, and
    // the commands the controller received.
    void Tick() {
        MozgTick();
        sim.serve();
        for (const auto& f : controller.receive(1ms)) {
            if (f.values.code != 8)
                continue;
            ++opens;
            EXPECT_EQ(f.values.a, 5) << "the default address";
            EXPECT_EQ(f.values.data[3], 255) << "the door";
        }
    }
    bool TickUntil(const std::function<bool()>& condition) {
        for (int i = 0; i < 200; ++i) {
            Tick();
            if (condition())
                return true;
        }
        return false;
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            Tick();
    }
    void Initialise() {
        ASSERT_TRUE(TickUntil([&] { return modem->StanInicjalizacji == 0; }));
        sim.received.clear();
    }
    // A call the controller forwarded (so it keeps the call up), connected.
    void Connect() {
        centrala->DomyslnyAdres = 5;
        centrala->Przekierowane = true;
        ASSERT_TRUE(modem->Dzwon("600 100 200", 0));
        ASSERT_TRUE(TickUntil([&] { return modem->Polaczenie() && !modem->Wybieranie(); }))
            << "the modem received " << ::testing::PrintToString(sim.received);
        EXPECT_EQ(sim.received, Lines{"ATD600100200;"});
    }

    bool urzadzenia = (RejestrujUrzadzenia(), true); // before the containers are made
    PtyPeer modemLine{21};
    PtyPeer controllerLine{22};
    ModemSimulator sim{modemLine};
    ControllerPeer controller{controllerLine};
    GlobalModel model;
    Object_Zarvo_Centrala* centrala = nullptr;
    Object_Sim_Modem* modem = nullptr;
    // Open commands the controller received; each must be the door's.
    int opens = 0;
};

TEST_F(ModemTest, InitialisationWalksItsEightStepsAndNoiseRepeatsTheCurrentCommand) {
    struct Case {
        std::string_view name;
        std::string cpin;
        int noisyAnswers;
        Lines sent;
        bool pinRequired;
    };
    const Lines all{"AT", "ATI", "ATV1", "AT+CFUN=1", "AT^CURC=1", "AT+CPIN?", "AT+CLIP=1", "AT+DDET=1"};
    const Case cases[] = {
        {"SIM ready", "READY", 0, all, false},
        {"SIM waits for its PIN", "SIM PIN", 0, all, true},
        {"noise for the first command", "READY", 1,
         {"AT", "AT", "ATI", "ATV1", "AT+CFUN=1", "AT^CURC=1", "AT+CPIN?", "AT+CLIP=1", "AT+DDET=1"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim.cpin = c.cpin;
        sim.noisyAnswers = c.noisyAnswers;
        sim.received.clear();
        ASSERT_TRUE(modem->Otworz());
        modem->RozpocznijInicjalizacje();
        EXPECT_TRUE(TickUntil([&] { return modem->StanInicjalizacji == 0; }));
        Ticks(3); // nothing more is sent once it is done
        EXPECT_EQ(sim.received, c.sent);
        EXPECT_EQ(modem->PinWymagany, c.pinRequired);
    }
}

TEST_F(ModemTest, HashOnThePhoneOpensTheDoorOnceAndACallEndsClean) {
    Initialise();
    Connect();
    sim.sendLine("+DTMF: 1");
    sim.sendLine("+DTMF: #");
    EXPECT_TRUE(TickUntil([&] { return opens > 0; }));
    Ticks(10);
    EXPECT_EQ(opens, 1) << "no second open follows";

    sim.sendLine("^CEND:1,0,104,16");
    EXPECT_TRUE(TickUntil([&] { return !modem->Polaczenie(); }));
}

// A '#' and the call's end in one read, then the next forwarded call: the
// old key opens nothing, neither do keys before anyone answers; a fresh '#'
// in the answered call opens once.
TEST_F(ModemTest, AKeyLeftFromAnEarlierCallOpensNothingInTheNext) {
    Initialise();
    Connect();
    sim.send("\r\n+DTMF: #\r\n\r\nNO CARRIER\r\n");
    ASSERT_TRUE(TickUntil([&] { return !modem->Polaczenie(); }));
    Ticks(5);
    EXPECT_EQ(opens, 0) << "the call ended with the key";

    sim.ringing = true;
    ASSERT_TRUE(modem->Dzwon("600100200", 0));
    ASSERT_TRUE(TickUntil([&] { return modem->Wybieranie(); }));
    sim.sendLine("+DTMF: #");
    Ticks(10);
    EXPECT_EQ(opens, 0) << "nothing before anyone answers";
    EXPECT_FALSE(modem->Polaczenie());

    sim.sendLine("^CONN:1,0");
    ASSERT_TRUE(TickUntil([&] { return modem->Polaczenie() && !modem->Wybieranie(); }));
    Ticks(5);
    EXPECT_EQ(opens, 0);
    sim.sendLine("+DTMF: #");
    EXPECT_TRUE(TickUntil([&] { return opens > 0; }));
    Ticks(10);
    EXPECT_EQ(opens, 1);
}

TEST_F(ModemTest, AnOpenTheControllersPortRefusedIsTriedOnceMore) {
    struct Case {
        std::string_view name;
        int refusedTicks;
        int opens;
    };
    const Case cases[] = {
        {"refused once: sent at the next tick", 1, 1},
        {"refused twice: given up", 2, 0},
    };
    Initialise();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Connect();
        // The adapter is gone: every send fails, and so does the port's own
        // attempt to reopen.
        controllerLine.hangUp();
        sim.sendLine("+DTMF: #");
        ASSERT_TRUE(TickUntil([&] { return modem->OtwarcieDoPonowienia; }));
        Ticks(c.refusedTicks - 1);
        controllerLine.reopen();
        ASSERT_TRUE(centrala->Port->Otworz());
        opens = 0;
        Ticks(10);
        EXPECT_EQ(opens, c.opens);
        modem->Rozlacz();
        ASSERT_TRUE(TickUntil([&] { return !modem->Polaczenie(); }));
        sim.received.clear();
    }
}

TEST_F(ModemTest, ABusyLineEndsTheDialAndLeavesARingingCallAlone) {
    Initialise();
    sim.sendLine("RING");
    sim.sendLine("+CLIP: \"600700800\",129,,,,0");
    ASSERT_TRUE(TickUntil([&] { return !modem->NumerDzwoniacego.empty(); }));
    EXPECT_TRUE(modem->Dzwoni());
    EXPECT_EQ(modem->NumerDzwoniacego, "600700800");
    sim.busy = true;
    centrala->Przekierowane = true;
    ASSERT_TRUE(modem->Dzwon("600100200", 0));
    ASSERT_TRUE(TickUntil([&] { return sim.received == Lines{"ATD600100200;"}; }));
    Ticks(5);
    EXPECT_FALSE(modem->Polaczenie());
    EXPECT_FALSE(modem->Wybieranie());
    EXPECT_TRUE(modem->Dzwoni());
    EXPECT_EQ(modem->NumerDzwoniacego, "600700800");
}

TEST_F(ModemTest, ALineSplitAcrossReadsIsKept) {
    Initialise();
    Connect();
    struct Case {
        std::string_view name;
        std::string_view first, second;
    };
    const Case cases[] = {
        {"inside the line", "\r\n+DT", "MF: #\r\n"},
        {"right after the leading line end", "\r\n", "+DTMF: #\r\n"},
        {"between the carriage return and the line feed", "\r\n+DTMF: #\r", "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        opens = 0;
        sim.send(c.first);
        // The desk reads the first part on its own.
        std::this_thread::sleep_for(5ms);
        Tick();
        sim.send(c.second);
        EXPECT_TRUE(TickUntil([&] { return opens > 0; }));
    }
    sim.send("\r\nNO CAR");
    std::this_thread::sleep_for(5ms);
    Tick();
    sim.send("RIER\r\n");
    EXPECT_TRUE(TickUntil([&] { return !modem->Polaczenie(); }));
}

} // namespace
