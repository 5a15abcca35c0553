#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/Komunikaty.h"
#include "core/Mozg.h"
#include "core/Object_Identyfikator.h"
#include "core/Object_Lokal.h"
#include "core/Object_Obszar.h"
#include "core/Object_Obszar_Obiekt.h"
#include "core/Object_Uzytkownik.h"
#include "core/Object_Wyjscie.h"
#include "core/Object_Zdarzenie.h"
#include "core/Objects_globals.h"
#include "devices/KonfiguracjaPamieciCentrali.h"
#include "devices/Object_Sim_Modem.h"
#include "devices/Object_Zarvo_Centrala.h"
#include "devices/Object_Zarvo_Klawiatura.h"
#include "devices/Urzadzenia.h"
#include "tests/support/ControllerPeer.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/ModemSimulator.h"
#include "tests/support/PtyPeer.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/SettableClock.h"
#include "tests/support/TestDataModule.h"

namespace {

using namespace std::chrono_literals;
using centrala::Decoded;
using centrala::FrameValues;
using centrala::Sync;

constexpr std::uint16_t Desk = 0x00FE;
constexpr std::uint16_t AdresA = 5; // controller 1, with a modem
constexpr std::uint16_t AdresB = 6; // controller 2, without one
constexpr std::uint16_t SerialA = 0x1234;
constexpr std::uint16_t SerialB = 0x2345;
constexpr std::uint16_t Brak = 0xFFFF;

// A command the desk sent.
Decoded Cmd(std::uint8_t code, std::uint16_t a, std::uint16_t b = 0, std::array<std::uint8_t, 4> data = {},
            Sync sync = Sync::CC) {
    return {sync, {code, a, b, data, Desk}};
}

// Two controllers on one line, the first with a GSM modem; flats, keypads,
// an area, residents and identifiers as the loader would leave them; the
// system started, the modem initialised and both controllers' first
// keep-alive queries answered with their type and version.
class CentraleTest : public TestSchema {
protected:
    void SetUp() override {
        TestSchema::SetUp();
        if (IsSkipped())
            return;
        exec("INSERT INTO centrala_zarvo_gsm (IdCentralaZarvoGsm, Nazwa, NumerSeryjny, TypWersja) VALUES "
             "(1, 'Klatka A', 4660, 0), (2, 'Klatka B', 9029, 0)");
        a = Centrale->Dodaj(1, "Klatka A", line.com(), Desk, SerialA, AdresA, 0, false, {}, {}, {}, {}, {});
        b = Centrale->Dodaj(2, "Klatka B", line.com(), Desk, SerialB, AdresB, 0, false, {}, {}, {}, {}, {});
        ModemySim->Dodaj(1, "Modem A", static_cast<std::uint8_t>(modemLine.com()), 0);
        Klawiatury->Dodaj(10, 1, 2, "Wejście A", 0);
        Klawiatury->Dodaj(11, 2, 2, "Wejście B", 0);
        Obszary->DodajRekord(70, "Obszar A");
        ObszaryObiekty->DodajRekord(71, 70, 10, 0, 0);
        Lokale->DodajRekord(40, 0, "12", 1, 1111, false, 12, false, "+48 (12) 345-67-89", 0, false, false, 0);
        Lokale->DodajRekord(41, 0, "7", 2, 2222, false, 7, false, "", 0, false, false, 0);
        Uzytkownicy->DodajRekord(60, 0, "Jan", "Kowalski", "", "", "", "", 0, false, "");
        const DataCzas dawno = *platform::db::parseDateTime("2020-01-01 00:00:00");
        Identyfikatory->DodajRekord(50, 60, 40, 2, "a1b2c3", 0, 0, {}, {}, {});
        Identyfikatory->DodajRekord(51, 60, 40, 2, "a1b2c4", 0, 0, {}, {}, dawno);
        Identyfikatory->DodajRekord(52, 0, 40, 2, "a1b2c5", 0, 0, {}, {}, {});
        Identyfikatory->DodajRekord(53, 0, 41, 4, "1e240", 0, 0, {}, {}, {});
        Identyfikatory->DodajRekord(54, 0, 41, 4, "1e241", 0, 0, {}, {}, dawno);
        wyjscie = Wyjscia->DodajRekord(30, 0, 2, 4, "Furtka B", 0, 0);
        ASSERT_TRUE(MozgStart());

        std::vector<Decoded> zapytania;
        for (int i = 0; i < 50 && (zapytania.size() < 2 || modem()->StanInicjalizacji != 0); ++i) {
            Tick(0.2);
            for (const auto& f : peer.receive(1ms))
                zapytania.push_back(f);
        }
        ASSERT_EQ(zapytania, (std::vector<Decoded>{Cmd(9, SerialA), Cmd(9, SerialB)}));
        ASSERT_EQ(modem()->StanInicjalizacji, 0);
        sim.received.clear();
        Receive(FrameValues{9, 0, 0x0171, {0x02, 0x05, 0, 0}, AdresA}); // type 1, version 113, firmware 0x0205
        Receive(FrameValues{9, 0, 0x0201, {0x01, 0x00, 0, 0}, AdresB});
    }

    Object_Sim_Modem* modem() { return static_cast<Object_Sim_Modem*>(ModemySim->Znajdz(1)); }

    // One tick after the clock moved, with the modem's answers.
    void Tick(double seconds = 0.0) {
        zegar.advance(seconds);
        MozgTick();
        sim.serve(1ms);
    }
    // A frame from a controller, and the ticks that take it; what the desk
    // sent meanwhile.
    std::vector<Decoded> Receive(std::optional<FrameValues> ramka, double seconds = 0.0) {
        zegar.advance(seconds);
        if (ramka) {
            peer.send(*ramka);
            std::this_thread::sleep_for(2ms);
        }
        std::vector<Decoded> wyslane;
        for (int i = 0; i < 4; ++i) {
            Tick();
            for (const auto& f : peer.receive(1ms))
                wyslane.push_back(f);
        }
        return wyslane;
    }
    int OstatniWiersz() {
        const std::string id = scalar("SELECT coalesce(max(IdZdarzeniaCentrali), 0) FROM zdarzenia_centrali");
        return std::stoi(id);
    }
    // kind|controller|Transponder|Lokal|Klawiatura|KlatkaZrodlo|KlatkaCel|KodPin|IdLokalu|IdIdentyfikatora|
    // IdZarvoKlawiatury of each row after the given one, '-' for NULL.
    std::string Wiersze(int po) {
        std::string kolumny;
        for (const char* k : {"IdRodzajZdarzeniaWbudowane", "IdCentralaZarvoGsm", "Transponder", "Lokal", "Klawiatura",
                              "KlatkaZrodlo", "KlatkaCel", "KodPin", "IdLokalu", "IdIdentyfikatora",
                              "IdZarvoKlawiatury"})
            kolumny += std::string(kolumny.empty() ? "" : " || '|' || ") + "coalesce(" + k + "::text, '-')";
        return scalar("SELECT coalesce(string_agg(" + kolumny + ", ' ' ORDER BY IdZdarzeniaCentrali), '') "
                      "FROM zdarzenia_centrali WHERE IdZdarzeniaCentrali > " + std::to_string(po));
    }

    SettableClock zegar;
    bool urzadzenia = (RejestrujUrzadzenia(), true); // before the containers are made
    PtyPeer line{23};
    PtyPeer modemLine{24};
    ControllerPeer peer{line};
    ModemSimulator sim{modemLine};
    GlobalModel model;
    RecordingWindow okno;
    Object_Zarvo_Centrala* a = nullptr;
    Object_Zarvo_Centrala* b = nullptr;
    Object_Wyjscie* wyjscie = nullptr;
};

TEST_F(CentraleTest, ReceivedEventsGiveTheirCommandsAndRows) {
    struct Step {
        double seconds = 0.0;
        std::optional<FrameValues> frame;
    };
    struct Case {
        std::string_view name;
        std::vector<Step> steps;
        std::vector<Decoded> sent;
        std::string rows;
        std::function<void()> before = nullptr;
        std::vector<std::string> dialled = {};
    };
    const std::array<std::uint8_t, 4> kod6035{0x17, 0x93, 0, 2}; // 6035, keypad 2
    const Case cases[] = {
        {"master code typed without a flat opens at once",
         {{0, FrameValues{3, Brak, 0, kod6035, AdresA}}}, {Cmd(8, AdresA, 0, {0, 0, 0, 2})}, ""},
        {"master code typed with a flat opens nothing", {{0, FrameValues{3, 12, 0, kod6035, AdresA}}}, {}, ""},
        {"another code without a flat opens nothing", {{0, FrameValues{3, Brak, 0, {0x04, 0xD2, 0, 2}, AdresA}}}, {},
         ""},
        {"master code switched off", {{0, FrameValues{3, Brak, 0, kod6035, AdresA}}}, {}, "",
         [] { Centrale->KodGlowny = 0; }},
        {"a changed master code", {{0, FrameValues{3, Brak, 0, {0x04, 0xD2, 0, 2}, AdresA}}},
         {Cmd(8, AdresA, 0, {0, 0, 0, 2})}, "", [] { Centrale->KodGlowny = 1234; }},
        {"door opened by code: the row carries the keypad and the flat",
         {{0, FrameValues{18, Brak, 12, {0x04, 0xD2, 0, 2}, AdresA}}}, {}, "20|1|-|12|2|5|65535|1234|40|-|10",
         [] { Centrale->KodGlowny = Objects_Zarvo_Centrale::DomyslnyKodGlowny; }},
        {"a flat call is forwarded 4 s later, to the phone's dialable characters",
         {{0, FrameValues{13, Brak, 12, {0, 0, 0, 2}, AdresA}},
          {1.0, FrameValues{4, 0, 12, {1, 2, 3, 4}, AdresA}},
          {3.5, FrameValues{4, 0, 12, {1, 2, 3, 4}, AdresA}}},
         {Cmd(4, AdresA, 0, {1, 2, 3, 4}, Sync::DD), Cmd(1, AdresA, 12, {}, Sync::DD),
          Cmd(4, AdresA, 0, {1, 2, 3, 4}, Sync::DD)},
         "15|1|-|12|2|5|65535|-|40|-|10", nullptr, {"ATD+48123456789;"}},
        {"a conversation is kept at 2 s and 4 s and ends at 6 s",
         {{0, FrameValues{4, 0, 7, {9, 8, 7, 6}, AdresB}}, {2.0, {}}, {2.0, {}}, {2.0, {}}, {2.0, {}}},
         {Cmd(4, AdresB, 0, {9, 8, 7, 6}, Sync::DD), Cmd(6, AdresB), Cmd(6, AdresB)}, ""},
        {"remote opens of outputs 3 and 5 go one per tick to the default address", {{0, {}}},
         {Cmd(8, AdresB, 0, {0, 0, 0, 3}), Cmd(8, AdresB, 0, {0, 0, 0, 5})}, "",
         [this] {
             b->ZlecOtwarcie(3);
             b->ZlecOtwarcie(5);
         }},
        {"an output of the logic opens through the controller's address", {{0, {}}},
         {Cmd(8, AdresB, 0, {0, 0, 0, 4})}, "", [this] { wyjscie->Wlacz(); }},
        {"a valid temporary code is accepted with its flat",
         {{0, FrameValues{25, 0, 0x0001, {0xE2, 0x40, 4, 2}, AdresA}}},
         {Cmd(25, AdresA, 0x0001, {0xE2, 0x40, 0, 7}, Sync::DD)}, "29|1|123456|-|2|5|-|-|-|-|10"},
        {"an expired temporary code is logged, not accepted",
         {{0, FrameValues{25, 0, 0x0001, {0xE2, 0x41, 4, 2}, AdresA}}}, {}, "29|1|123457|-|2|5|-|-|-|-|10"},
        {"a resident's valid transponder opens",
         {{0, FrameValues{23, 0x00A1, 0xB2C3, {0, 0, 0, 2}, AdresA}}}, {Cmd(8, AdresA, 0, {0, 0, 0, 2})},
         "26|1|10597059|-|2|5|-|-|40|50|10"},
        {"an expired transponder does not open",
         {{0, FrameValues{23, 0x00A1, 0xB2C4, {0, 0, 0, 2}, AdresA}}}, {}, "26|1|10597060|-|2|5|-|-|40|51|10"},
        {"a transponder of no resident does not open",
         {{0, FrameValues{23, 0x00A1, 0xB2C5, {0, 0, 0, 2}, AdresA}}}, {}, "26|1|10597061|-|2|5|-|-|40|52|10"},
        {"a frame of another controller's address is not this one's",
         {{0, FrameValues{16, 0, 0, {0, 0, 0, 2}, 9}}}, {}, ""},
        {"a call answered at the flat's controller is logged for the calling one until the door opens",
         {{0, FrameValues{13, AdresB, 7, {0, 0, 0, 2}, AdresA}},
          {0, FrameValues{14, AdresA, 7, {}, AdresB}},
          {0, FrameValues{15, AdresA, 7, {}, AdresB}},
          {0, FrameValues{15, AdresA, 7, {}, AdresB}}},
         {},
         "15|1|-|7|2|5|6|-|41|-|10 16|1|-|7|-|5|6|-|41|-|- 17|1|-|7|-|5|6|-|41|-|- 17|2|-|7|-|6|5|-|41|-|-"},
        {"caretaker call and conversation",
         {{0, FrameValues{21, Brak, 12, {0, 0, 0, 2}, AdresA}}, {0, FrameValues{22, 0, 0, {}, AdresA}}}, {},
         "23|1|-|12|-|5|65535|-|40|-|- 24|1|-|-|-|-|-|-|-|-|-"},
        {"door opened from inside, on the second controller",
         {{0, FrameValues{16, 0, 0, {0, 0, 0, 2}, AdresB}}}, {}, "18|2|-|-|2|6|-|-|-|-|11"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.before)
            c.before();
        sim.received.clear();
        const int po = OstatniWiersz();
        std::vector<Decoded> wyslane;
        for (const auto& s : c.steps)
            for (const auto& f : Receive(s.frame, s.seconds))
                wyslane.push_back(f);
        EXPECT_EQ(wyslane, c.sent);
        EXPECT_EQ(Wiersze(po), c.rows);
        EXPECT_EQ(sim.received, c.dialled);
    }
}

TEST_F(CentraleTest, ARowOfAKeypadInAnAreaResolvesTheArea) {
    Receive(FrameValues{16, 0, 0, {0, 0, 0, 2}, AdresA});
    ASSERT_EQ(ZdarzeniaCentrali->Ilosc(), 1);
    const auto* z = static_cast<Object_Zdarzenie*>(ZdarzeniaCentrali->Element(0));
    EXPECT_EQ(z->Centrala, a);
    EXPECT_EQ(z->ZarvoKlawiatura, Klawiatury->Znajdz(10));
    ASSERT_NE(z->Obszar, nullptr);
    EXPECT_EQ(z->Obszar->Id(), 70);
    EXPECT_EQ(okno.count(WM_ZDARZENIE_CENTRALI), 1);
}

TEST_F(CentraleTest, TypeAndVersionAreWrittenOnlyWhenTheyChange) {
    EXPECT_EQ(a->TypWersja, 369);
    EXPECT_EQ(a->Firmware, 0x0205);
    EXPECT_EQ(a->Pojemnosc, KonfiguracjaPamieciCentrali::Pojemnosc(1, 113));
    EXPECT_EQ(scalar("SELECT TypWersja FROM centrala_zarvo_gsm WHERE IdCentralaZarvoGsm = 1"), "369");
    EXPECT_EQ(scalar("SELECT TypWersja FROM centrala_zarvo_gsm WHERE IdCentralaZarvoGsm = 2"), "513");

    // Marked in the row, so a write would show.
    exec("UPDATE centrala_zarvo_gsm SET TypWersja = 0 WHERE IdCentralaZarvoGsm = 1");
    Receive(FrameValues{9, 0, 0x0171, {0x02, 0x05, 0, 0}, AdresA});
    EXPECT_EQ(scalar("SELECT TypWersja FROM centrala_zarvo_gsm WHERE IdCentralaZarvoGsm = 1"), "0");
    Receive(FrameValues{9, 0, 0x0172, {0x02, 0x06, 0, 0}, AdresA});
    EXPECT_EQ(scalar("SELECT TypWersja FROM centrala_zarvo_gsm WHERE IdCentralaZarvoGsm = 1"), "370");
    EXPECT_EQ(a->Firmware, 0x0206);
}

TEST_F(CentraleTest, KeepAliveGoesToAControllerSilentFor300Seconds) {
    EXPECT_EQ(Receive(std::nullopt, 250.0), std::vector<Decoded>{});
    Receive(FrameValues{16, 0, 0, {0, 0, 0, 2}, AdresB});
    EXPECT_EQ(Receive(std::nullopt, 49.0), std::vector<Decoded>{}) << "299 s since the first answer";
    EXPECT_EQ(Receive(std::nullopt, 2.0), std::vector<Decoded>{Cmd(9, SerialA)})
        << "only the controller whose frame is 300 s old";
    EXPECT_EQ(Receive(std::nullopt, 59.0), std::vector<Decoded>{}) << "a query goes at most once a minute";
    EXPECT_EQ(Receive(std::nullopt, 2.0), std::vector<Decoded>{Cmd(9, SerialA)});
}

TEST_F(CentraleTest, AWrittenWordCountsOnlyWhenTheControllerEchoesIt) {
    struct Case {
        std::string_view name;
        FrameValues answer;
        bool ok;
    };
    const Case cases[] = {
        {"the same offset and bytes", {11, 0, 0x1000, {1, 2, 3, 4}, AdresA}, true},
        {"another offset", {11, 0, 0x1004, {1, 2, 3, 4}, AdresA}, false},
        {"another byte", {11, 0, 0x1000, {1, 2, 3, 5}, AdresA}, false},
        {"an answer by serial number", {11, 0, 0x1000, {1, 2, 3, 4}, SerialA}, true},
        {"another command's answer", {10, 0, 0x1000, {1, 2, 3, 4}, AdresA}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(a->ZapiszPamiec(0x1000, {1, 2, 3, 4}));
        EXPECT_EQ(peer.receive(20ms), std::vector<Decoded>{Cmd(11, SerialA, 0x1000, {1, 2, 3, 4})});
        EXPECT_FALSE(a->Odpowiada());
        Receive(c.answer);
        EXPECT_EQ(a->SprawdzOdpowiedz(), c.ok);
        EXPECT_EQ(a->OdpowiedzOK(), c.ok);
    }
    ASSERT_TRUE(a->CzytajPamiec(0x2000));
    Receive(FrameValues{10, 0, 0x2000, {9, 8, 7, 6}, AdresA});
    EXPECT_TRUE(a->SprawdzOdpowiedz());
    EXPECT_EQ(a->OdczytanaPamiec, (std::array<std::uint8_t, 4>{9, 8, 7, 6}));
}

TEST_F(CentraleTest, ACapturedTransponderIsTakenOnce) {
    EXPECT_FALSE(a->JestTransponder());
    Receive(FrameValues{19, 0x0000, 0x1A2B, {0, 0, 0, 2}, AdresA});
    ASSERT_TRUE(a->JestTransponder());
    EXPECT_EQ(a->PobierzTransponder(), "1a2b");
    EXPECT_EQ(a->PoprzedniTransponder, "1a2b");
    EXPECT_FALSE(a->JestTransponder());
    EXPECT_EQ(a->PobierzTransponder(), "");
}

} // namespace
