#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/Komunikaty.h"
#include "core/Mozg.h"
#include "core/Object_Czytnik.h"
#include "core/Object_Karta.h"
#include "core/Object_Magistrala.h"
#include "core/Object_Wejscie.h"
#include "core/Objects_globals.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/RecordingWindow.h"

namespace {

// A bus whose image the tests write directly, as its poll thread would.
class KartyTest : public ::testing::Test {
protected:
    void SetUp() override {
        magistrala = Magistrale->Dodaj(1, 3, 2, 19200, "M1");
        karta = Karty->DodajRekord(10, 1, 1, 300, "Brama A");
    }

    void UstawWejscia(int adres, std::uint8_t bity) {
        magistrala->ZmienWpis(adres, [&](WpisKarty& w) { w.Wejscia = bity; });
    }
    void Kod(int adres, const char* kod, std::uint16_t licznik, std::uint8_t przycisk) {
        magistrala->ZmienWpis(adres, [&](WpisKarty& w) {
            std::strncpy(w.Kod, kod, sizeof w.Kod - 1);
            w.Licznik = licznik;
            w.Przycisk = przycisk;
        });
    }

    GlobalModel model;
    RecordingWindow okno;
    Object_Magistrala* magistrala = nullptr;
    Object_Karta* karta = nullptr;
};

TEST_F(KartyTest, InputChangesSendOneMessageEachAndOnePassageMessageAfterTheScan) {
    auto* czujnik1 = Wejscia->DodajRekord(1, 10, 1, "pętla wjazd");
    auto* czujnik2 = Wejscia->DodajRekord(2, 10, 2, "pętla wyjazd");
    auto* zwykle = Wejscia->DodajRekord(3, 10, 6, "przycisk");
    ObiektyInicjalizuj();
    czujnik1->CzujnikPrzejazdu = czujnik2->CzujnikPrzejazdu = true;

    UstawWejscia(300, 0b100011);
    Wejscia->Skanuj();
    using M = RecordingWindow::Message;
    EXPECT_EQ(okno.messages(), (std::vector<M>{{WM_WEJSCIA_WYJSCIA, 0, 0, true},
                                               {WM_WEJSCIA_WYJSCIA, 0, 0, true},
                                               {WM_WEJSCIA_WYJSCIA, 0, 0, true},
                                               {WM_PRZEJAZD, 0, 0, true}}));
    for (auto* w : {czujnik1, czujnik2, zwykle})
        EXPECT_TRUE(w->Stan && w->Zmiana) << w->Nazwa.str();
    EXPECT_TRUE(czujnik1->ZdarzenieCzujnika && czujnik2->ZdarzenieCzujnika);
    EXPECT_FALSE(zwykle->ZdarzenieCzujnika);

    // A change is reported in the one tick it is seen.
    okno.clear();
    Wejscia->Skanuj();
    EXPECT_TRUE(okno.messages().empty());
    EXPECT_FALSE(czujnik1->Zmiana || czujnik2->Zmiana || zwykle->Zmiana);

    // Only an ordinary input falls: no passage message.
    UstawWejscia(300, 0b000011);
    Wejscia->Skanuj();
    EXPECT_EQ(okno.messages(), (std::vector<M>{{WM_WEJSCIA_WYJSCIA, 0, 0, true}}));
    EXPECT_FALSE(zwykle->Stan);
    EXPECT_TRUE(zwykle->Zmiana);
}

// Inputs whose board has no image entry to read keep their state, where
// reading an off bit would have turned them off.
TEST_F(KartyTest, InputsOfABoardWithoutAnImageEntryKeepTheirState) {
    struct Case {
        const char* name;
        int idMagistrali;
        int adres;
    };
    const Case cases[] = {
        {"bus id not found", 99, 5},
        {"address above the image", 1, 4096},
        {"negative address", 1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto* k = Karty->DodajRekord(20, 1, c.idMagistrali, c.adres, "bez obrazu");
        auto* w = Wejscia->DodajRekord(21, 20, 1, "we");
        auto* r = Czytniki->DodajRekord(22, 20, 1, "czytnik");
        ObiektyInicjalizuj();
        w->Stan = true;
        r->Kod = "stary";

        Wejscia->Skanuj();
        Czytniki->Skanuj();
        EXPECT_TRUE(w->Stan);
        EXPECT_FALSE(w->Zmiana);
        EXPECT_EQ(r->Kod.str(), "stary");
        EXPECT_TRUE(okno.messages().empty());
        EXPECT_FALSE(k->Dostepna());
        EXPECT_EQ(k->Status(), 0u);

        Czytniki->Usun(22);
        Wejscia->Usun(21);
        Karty->Usun(20);
    }
}

TEST_F(KartyTest, AnInputOfABoardThatStopsAnsweringKeepsItsLastState) {
    auto* w = Wejscia->DodajRekord(1, 10, 3, "we");
    ObiektyInicjalizuj();
    UstawWejscia(300, 0b100);
    Wejscia->Skanuj();
    magistrala->ZmienWpis(300, [](WpisKarty& wpis) { wpis.Status = StatusBrakOdpowiedzi; });
    Wejscia->Skanuj();
    EXPECT_TRUE(w->Stan);
    EXPECT_EQ(karta->Status(), StatusBrakOdpowiedzi);
    EXPECT_FALSE(karta->Dostepna()); // the bus's port was never opened
}

// Stands in for the readers window: on each reader message it notes what
// the readers hold at that moment.
class OknoCzytnikow : public platform::WindowHandle {
public:
    OknoCzytnikow() { ObiektyUstawOkno(this); }
    ~OknoCzytnikow() override { ObiektyUstawOkno(nullptr); }
    void Post(unsigned, std::intptr_t, std::intptr_t) override {}
    std::intptr_t Send(unsigned message, std::intptr_t, std::intptr_t) override {
        if (message == WM_ODCZYT_IDENTYFIKATORA) {
            std::string kody;
            for (int i = 0; i < Czytniki->Rozmiar(); ++i)
                kody += static_cast<Object_Czytnik*>(Czytniki->Element(i))->Kod.str() + "|";
            widziane.push_back(kody);
        }
        return 0;
    }
    std::vector<std::string> widziane;
};

TEST_F(KartyTest, ABoardsCodeReachesEachOfItsReadersOnceAndIsStoredBeforeTheMessage) {
    Karty->DodajRekord(11, 1, 1, 301, "Brama B");
    auto* a1 = Czytniki->DodajRekord(1, 10, 1, "A1");
    auto* b = Czytniki->DodajRekord(2, 11, 1, "B");
    auto* a2 = Czytniki->DodajRekord(3, 10, 2, "A2");
    ObiektyInicjalizuj();
    OknoCzytnikow okno2;

    Kod(300, "12AB", 513, 3);
    Czytniki->Skanuj();
    EXPECT_EQ(okno2.widziane, (std::vector<std::string>{"12AB|||", "12AB||12AB|"}));
    for (auto* r : {a1, a2}) {
        EXPECT_EQ(r->Kod.str(), "12AB");
        EXPECT_EQ(r->OstatniKod.str(), "12AB");
        EXPECT_EQ(r->Licznik, 513u);
        EXPECT_EQ(r->Przycisk, 3u);
        EXPECT_TRUE(Ustawiona(r->CzasOdczytu));
    }
    EXPECT_TRUE(b->Kod.empty());
    EXPECT_FALSE(Ustawiona(b->CzasOdczytu));
    EXPECT_FALSE(magistrala->JestKod(300));

    // The code lasts one tick; the last code stays.
    okno2.widziane.clear();
    Czytniki->Skanuj();
    EXPECT_TRUE(okno2.widziane.empty());
    for (auto* r : {a1, a2}) {
        EXPECT_TRUE(r->Kod.empty());
        EXPECT_EQ(r->Licznik, 0u);
        EXPECT_EQ(r->Przycisk, 0u);
        EXPECT_EQ(r->OstatniKod.str(), "12AB");
    }
}

TEST_F(KartyTest, AHeldReaderKeepsItsCodeUntilANewOneOrTheHoldEnds) {
    auto* trzymany = Czytniki->DodajRekord(1, 10, 1, "przechwytywanie");
    auto* wolny = Czytniki->DodajRekord(2, 10, 1, "brama");
    ObiektyInicjalizuj();
    trzymany->Zajety = true;

    Kod(300, "111", 1, 1);
    Czytniki->Skanuj();
    Czytniki->Skanuj();
    Czytniki->Skanuj();
    EXPECT_EQ(trzymany->Kod.str(), "111");
    EXPECT_EQ(trzymany->Licznik, 1u);
    EXPECT_TRUE(wolny->Kod.empty());

    Kod(300, "222", 2, 0);
    Czytniki->Skanuj();
    EXPECT_EQ(trzymany->Kod.str(), "222");
    EXPECT_EQ(okno.count(WM_ODCZYT_IDENTYFIKATORA), 4);

    trzymany->Zajety = false;
    Czytniki->Skanuj();
    EXPECT_TRUE(trzymany->Kod.empty());
    EXPECT_EQ(trzymany->OstatniKod.str(), "222");
}

TEST_F(KartyTest, SortKinds) {
    Magistrale->Dodaj(2, 1, 2, 19200, "M2");
    Karty->DodajRekord(11, 1, 2, 300, "Brama A");
    Karty->DodajRekord(12, 1, 2, 5, "Brama 10");
    Karty->DodajRekord(13, 1, 0, 7, "Brama 9");
    Wejscia->DodajRekord(1, 10, 2, "b");
    Wejscia->DodajRekord(2, 12, 2, "a");
    Wejscia->DodajRekord(3, 12, 3, "c");
    Wejscia->DodajRekord(4, 0, 1, "a");
    ObiektyInicjalizuj();

    struct Case {
        const char* name;
        Objects* kontener;
        int rodzaj;
        std::vector<int> ids;
    };
    const Case cases[] = {
        // Board 13 has no bus and sorts as COM 0.
        {"boards by COM, address", Karty, 1, {13, 12, 11, 10}},
        {"boards by address, COM", Karty, 2, {12, 13, 11, 10}},
        {"boards by name (naturally), COM, address", Karty, 0, {13, 12, 11, 10}},
        // Input 4 has no board: board names are compared only between two boards.
        {"inputs by board name, number, name", Wejscia, 1, {4, 2, 3, 1}},
        {"inputs by number, board name, name", Wejscia, 2, {4, 2, 1, 3}},
        {"inputs by name, board name, number", Wejscia, 0, {4, 2, 1, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.kontener->Sortuj(c.rodzaj);
        EXPECT_EQ(Ids(*c.kontener), c.ids);
    }
}

} // namespace
