#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/Czas.h"
#include "core/DataCzas.h"
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
#include "core/Object_Przejazd_Podtrzymanie.h"
#include "core/Object_Przejazd_Posredni.h"
#include "core/Object_Uzytkownik.h"
#include "core/Object_Wejscie.h"
#include "core/Object_Wyjscie.h"
#include "core/Object_Zdarzenie.h"
#include "core/Objects_globals.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/SettableClock.h"
#include "tests/support/TestDataModule.h"

namespace {

std::uint64_t Ms(std::uint64_t ms) { return ms * 10'000; }

// Bits of the entry board's inputs.
constexpr int Start = 1, Koniec = 2, Petla = 3, Aktywacja = 4;

// One lane as a site has it: an I/O board with a reader at address 300 of a
// bus whose image the test writes, a gate with its two outputs, the start
// and end sensors, a hold loop, four lamps, and residents of one group with
// a right for remote button 1 only. The events go to the real event table.
class PrzejazdyTest : public TestSchema {
protected:
    void SetUp() override {
        TestSchema::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        magistrala = Magistrale->Dodaj(1, 3, 2, 19200, "M1");
        Karty->DodajRekord(10, 1, 1, 300, "Wjazd");
        Karty->DodajRekord(11, 2, 1, 301, "Kamera");
        czytnik = Czytniki->DodajRekord(20, 10, 1, "Pilot");
        Czytniki->DodajRekord(21, 11, 1, "Tablice");
        start = Wejscia->DodajRekord(31, 10, Start, "Czujnik przed bramą");
        Wejscia->DodajRekord(32, 10, Koniec, "Czujnik za bramą");
        Wejscia->DodajRekord(33, 10, Petla, "Pętla");
        Wejscia->DodajRekord(34, 10, Aktywacja, "Aktywacja");
        const char* nazwy[] = {"otwórz", "zamknij", "stop", "czujnik", "czekaj", "jedź"};
        for (int n = 1; n <= 6; ++n)
            wyjscia[n] = Wyjscia->DodajRekord(40 + n, 10, 0, n, nazwy[n - 1], 0, 0);
        Wyjscia->DodajRekord(47, 0, 0, 1, "otwórz 2", 0, 0);
        brama = Bramy->DodajRekord(50, "Brama", 41, 42, 1000, 1000, 3000, 3000, 0, 0, 0, 0);
        brama2 = Bramy->DodajRekord(51, "Brama 2", 47, 0, 1000, 1000, 3000, 3000, 0, 0, 0, 0);
        GrupyUzytkownikow->DodajRekord(60, "Mieszkańcy");
        GrupyUzytkownikow->DodajRekord(61, "Goście");
        anna = Uzytkownik(70, 60);
        jan = Uzytkownik(71, 60);
        Uzytkownik(72, 61);
        Identyfikator(80, 70, 1, "A1B2");
        Identyfikator(81, 71, 1, "c3d4");
        Identyfikator(82, 70, 1, "e5f6")->OgraniczenieDo = TerazLokalnie() - std::chrono::hours(24);
        Identyfikator(83, 70, 3, "wx12345");
        Identyfikator(84, 0, 1, "0bad");
        Identyfikator(85, 72, 1, "9999");
        GrupyUzytkownikowBramy->DodajRekord(90, 60, 50, 0b1);
        GrupyUzytkownikowBramy->DodajRekord(92, 60, 51, 0);
        przejazd = Przejazd(100, "Wjazd", 50, false, 20, 31, 30000, 32, false, false);
        PrzejazdyPodtrzymanie->DodajRekord(110, 100, 33);
    }

    Object_Uzytkownik* Uzytkownik(int id, int grupa) {
        return Uzytkownicy->DodajRekord(id, grupa, "Imię", std::to_string(id), "", "", "", "", 0, false, "");
    }
    Object_Identyfikator* Identyfikator(int id, int uzytkownik, int rodzaj, const char* numer) {
        return Identyfikatory->DodajRekord(id, uzytkownik, 0, rodzaj, numer, 0, 0, TerazLokalnie(), DataCzas{},
                                           DataCzas{});
    }
    Object_Przejazd* Przejazd(int id, const char* nazwa, int idBramy, bool bezCzytnika, int idCzytnika,
                              int idStart, std::uint32_t timeout, int idKoniec, bool posredni, bool wycofanie) {
        return Przejazdy->DodajRekord(id, nazwa, idBramy, bezCzytnika, idCzytnika, idStart, timeout, idKoniec, 43, 0,
                                      44, 0, 45, 0, 46, 0, posredni, wycofanie, "");
    }

    // The board's input bit as the bus would report it.
    void Wejscie(int bit, bool stan, int adres = 300) {
        magistrala->ZmienWpis(adres, [&](WpisKarty& w) {
            w.Wejscia = static_cast<std::uint8_t>(stan ? w.Wejscia | (1u << (bit - 1)) : w.Wejscia & ~(1u << (bit - 1)));
        });
    }
    void Kod(const std::string& kod, int przycisk, int adres = 300) {
        magistrala->ZmienWpis(adres, [&](WpisKarty& w) {
            std::snprintf(w.Kod, sizeof w.Kod, "%s", kod.c_str());
            w.Przycisk = static_cast<std::uint8_t>(przycisk);
        });
    }
    // The whole logic tick, ms after the previous one.
    void Tick(std::uint64_t ms = 10) {
        zegar.set(zegar.now() + Ms(ms));
        MozgTick();
    }
    void Ticks(int n, std::uint64_t ms = 10) {
        for (int i = 0; i < n; ++i)
            Tick(ms);
    }
    // The built-in events logged since the last call, in order (the events
    // carry temporary ids counting down while the writer numbers the rows).
    std::vector<int> Nowe() {
        std::vector<int> ids;
        std::vector<const Object_Zdarzenie*> nowe;
        for (int i = 0; i < Zdarzenia->Rozmiar(); ++i) {
            const auto* z = static_cast<const Object_Zdarzenie*>(Zdarzenia->Element(i));
            if (z->Id() < ostatnie)
                nowe.push_back(z);
        }
        std::sort(nowe.begin(), nowe.end(), [](auto* a, auto* b) { return a->Id() > b->Id(); });
        for (const auto* z : nowe) {
            ids.push_back(z->IdRodzajZdarzeniaWbudowane);
            ostatnie = z->Id();
            ostatnieZdarzenie = z;
        }
        return ids;
    }
    // Which lamps (3 stop .. 6 go) are requested on.
    std::vector<int> Lampy() const {
        std::vector<int> lampy;
        for (int n = 3; n <= 6; ++n)
            if (wyjscia[n]->Wlaczone())
                lampy.push_back(n);
        return lampy;
    }

    SettableClock zegar{Ms(7'000'000)};
    GlobalModel model;
    RecordingWindow okno;
    Object_Magistrala* magistrala = nullptr;
    Object_Czytnik* czytnik = nullptr;
    Object_Wejscie* start = nullptr;
    Object_Wyjscie* wyjscia[7] = {};
    Object_Brama* brama = nullptr;
    Object_Brama* brama2 = nullptr;
    Object_Uzytkownik* anna = nullptr;
    Object_Uzytkownik* jan = nullptr;
    Object_Przejazd* przejazd = nullptr;
    int ostatnie = 0;
    const Object_Zdarzenie* ostatnieZdarzenie = nullptr;
};

TEST_F(PrzejazdyTest, NormalCourseLogsItsEventsAndLightsItsLamps) {
    ObiektyInicjalizuj();
    Tick();
    EXPECT_EQ(przejazd->Stan, 2);
    EXPECT_EQ(okno.count(WM_PRZEJAZD), 0) << "the first step leaves state 0 silently";
    EXPECT_EQ(Lampy(), std::vector<int>{3});

    Wejscie(Start, true);
    Tick();
    EXPECT_EQ(Nowe(), std::vector<int>{1});
    EXPECT_EQ(Lampy(), std::vector<int>{4}) << "the start-sensor lamp";

    Kod("a1b2", 1);
    Tick();
    EXPECT_EQ(przejazd->Stan, 3);
    EXPECT_TRUE(Nowe().empty()) << "acceptance logs nothing by itself";
    Tick();
    EXPECT_EQ(Nowe(), (std::vector<int>{10, 3}));
    EXPECT_EQ(ostatnieZdarzenie->IdUzytkownika, 70);
    EXPECT_EQ(ostatnieZdarzenie->IdIdentyfikatora, 80);
    EXPECT_EQ(ostatnieZdarzenie->IdBramy, 50);
    EXPECT_EQ(ostatnieZdarzenie->Przycisk, 1);
    EXPECT_TRUE(wyjscia[1]->Wlaczone()) << "the gate's open output";
    EXPECT_EQ(Lampy(), std::vector<int>{5});
    EXPECT_TRUE(brama->Zajeta);
    EXPECT_TRUE(anna->WPrzejezdzie);

    Ticks(5);
    EXPECT_EQ(przejazd->Stan, 5) << "waiting for the gate while the vehicle stands on the start sensor";
    Tick(3000);
    EXPECT_EQ(przejazd->Stan, 6);
    EXPECT_EQ(Lampy(), std::vector<int>{6});

    Wejscie(Start, false);
    Tick();
    EXPECT_EQ(przejazd->Stan, 7);
    Wejscie(Koniec, true);
    Tick();
    EXPECT_EQ(przejazd->Stan, 8);
    EXPECT_EQ(Lampy(), std::vector<int>{3});
    Wejscie(Koniec, false);
    Tick();
    EXPECT_EQ(przejazd->Stan, 9);
    EXPECT_TRUE(wyjscia[2]->Wlaczone()) << "the gate's close output";
    okno.clear();
    Tick();
    EXPECT_EQ(przejazd->Stan, 0);
    EXPECT_EQ(okno.count(WM_PRZEJAZD), 1) << "9 to 0 is reported";
    EXPECT_EQ(Nowe(), (std::vector<int>{2, 1, 2, 4, 11}));
    EXPECT_FALSE(brama->Zajeta);
    EXPECT_FALSE(anna->WPrzejezdzie);

    Tick();
    Wejscie(Start, true);
    Tick();
    EXPECT_EQ(Lampy(), std::vector<int>{4}) << "the next vehicle lights the start lamp again";
}

TEST_F(PrzejazdyTest, RefusalsLogTheirEventAndConsumeTheCode) {
    ObiektyInicjalizuj();
    struct Case {
        const char* name;
        const char* kod;
        int przycisk;
        int zdarzenie; // 0: accepted
        int uzytkownik, identyfikator;
        bool zajeta = false, wPrzejezdzie = false, startNieaktywny = false, drugiePrawo = false;
    };
    const Case cases[] = {
        {"unknown code", "ffff", 1, 9, 0, 0},
        {"a plate's text from a remote reader", "wx12345", 0, 9, 0, 0},
        {"identifier without a resident", "0bad", 1, 6, 0, 84},
        {"outside its validity window", "e5f6", 1, 6, 70, 82},
        {"group without a right at the gate", "9999", 1, 6, 72, 85},
        {"button not in the right", "a1b2", 2, 13, 70, 80},
        {"first of two rights lacks the button", "a1b2", 2, 13, 70, 80, false, false, false, true},
        {"gate busy with another passage", "a1b2", 1, 5, 70, 80, true},
        {"resident already passing", "a1b2", 1, 7, 70, 80, false, true},
        {"start sensor inactive", "A1B2", 1, 8, 70, 80, false, false, true},
        {"reader without buttons: any right allows", "a1b2", 0, 0, 70, 80},
        {"second resident, button 1", "c3d4", 1, 0, 71, 81},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        przejazd->Stan = 0;
        brama->Zajeta = c.zajeta;
        anna->WPrzejezdzie = c.wPrzejezdzie;
        if (c.drugiePrawo)
            GrupyUzytkownikowBramy->DodajRekord(91, 60, 50, 0b10)->Polacz();
        Wejscie(Start, !c.startNieaktywny);
        Ticks(2);
        Nowe();
        Kod(c.kod, c.przycisk);
        Tick();
        if (c.zdarzenie == 0) {
            EXPECT_EQ(przejazd->Stan, 3);
            EXPECT_TRUE(Nowe().empty());
            Tick();
            EXPECT_EQ(Nowe(), (std::vector<int>{10, 3}));
        } else {
            EXPECT_EQ(przejazd->Stan, 1);
            EXPECT_EQ(Nowe(), std::vector<int>{c.zdarzenie});
        }
        ASSERT_NE(ostatnieZdarzenie, nullptr);
        EXPECT_EQ(ostatnieZdarzenie->IdUzytkownika, c.uzytkownik);
        EXPECT_EQ(ostatnieZdarzenie->IdIdentyfikatora, c.identyfikator);
        EXPECT_EQ(ostatnieZdarzenie->IdBramy, 50);
        Tick();
        EXPECT_TRUE(czytnik->Kod.empty()) << "each code is judged once";
        if (c.zdarzenie != 0) {
            EXPECT_TRUE(Nowe().empty());
        }
        if (c.drugiePrawo)
            GrupyUzytkownikowBramy->Usun(91);
        anna->WPrzejezdzie = jan->WPrzejezdzie = false;
    }
}

TEST_F(PrzejazdyTest, APlateReaderFindsOnlyPlates) {
    Object_Przejazd* kamera = Przejazd(101, "Kamera", 51, false, 21, 0, 0, 0, false, false);
    ObiektyInicjalizuj();
    struct Case {
        const char* kod;
        int zdarzenie;
    };
    const Case cases[] = {{"a1b2", 9}, {"WX12345", 10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kod);
        kamera->Stan = 0;
        brama2->Zajeta = false;
        anna->WPrzejezdzie = false;
        Tick();
        Nowe();
        Kod(c.kod, 0, 301);
        Ticks(2);
        const std::vector<int> nowe = Nowe();
        ASSERT_FALSE(nowe.empty());
        EXPECT_EQ(nowe[0], c.zdarzenie);
    }
}

TEST_F(PrzejazdyTest, HoldInputKeepsThePassageOpenAndItsEndStartsTheTimeOut) {
    ObiektyInicjalizuj();
    Tick();
    Wejscie(Start, true);
    Wejscie(Petla, true);
    Tick();
    Kod("a1b2", 1);
    Ticks(3);
    EXPECT_EQ(Nowe(), (std::vector<int>{1, 1, 10, 3})) << "the hold loop logs its sensor event too";
    for (int s = 0; s < 90; ++s)
        Tick(1000);
    EXPECT_EQ(przejazd->Stan, 6) << "a vehicle may stand for as long as the loop holds";
    Wejscie(Petla, false);
    Tick();
    EXPECT_EQ(Nowe(), std::vector<int>{2});
    Tick(29'980);
    EXPECT_EQ(przejazd->Stan, 6);
    Tick(30);
    EXPECT_EQ(przejazd->Stan, 1000);
    Tick();
    EXPECT_EQ(Nowe(), (std::vector<int>{12, 4}));
    EXPECT_TRUE(wyjscia[2]->Wlaczone()) << "the gate closes";
    EXPECT_FALSE(brama->Zajeta);
    EXPECT_FALSE(anna->WPrzejezdzie);
    EXPECT_EQ(przejazd->Stan, 0);
}

TEST_F(PrzejazdyTest, ReversingVehicleReopensTheGate) {
    przejazd->FunkcjaWycofania = true;
    ObiektyInicjalizuj();
    Tick();
    Wejscie(Start, true);
    Tick();
    Kod("a1b2", 1);
    Ticks(3);
    Tick(3001);
    Wejscie(Start, false);
    Tick();
    Wejscie(Koniec, true);
    Tick();
    Wejscie(Koniec, false);
    Ticks(2);
    EXPECT_EQ(przejazd->Stan, 100);
    Nowe();
    Ticks(50);
    EXPECT_EQ(przejazd->Stan, 100) << "it waits only for the end sensor";

    Wejscie(Koniec, true);
    Tick();
    EXPECT_EQ(Nowe(), (std::vector<int>{1, 25, 3}));
    EXPECT_TRUE(wyjscia[1]->Wlaczone());
    EXPECT_TRUE(anna->WPrzejezdzie);
    Wejscie(Koniec, false);
    Ticks(2);
    EXPECT_EQ(Nowe(), (std::vector<int>{2, 4, 11}));
    EXPECT_FALSE(anna->WPrzejezdzie);
    EXPECT_EQ(przejazd->Stan, 100);
}

TEST_F(PrzejazdyTest, WithoutReaderABusyGateIsRefusedOncePerActivation) {
    przejazd->BezCzytnika = true;
    ObiektyInicjalizuj();
    brama->Zajeta = true;
    Tick();
    Wejscie(Start, true);
    Ticks(5);
    EXPECT_EQ(Nowe(), (std::vector<int>{1, 5}));
    Wejscie(Start, false);
    Ticks(2);
    Wejscie(Start, true);
    Ticks(5);
    EXPECT_EQ(Nowe(), (std::vector<int>{2, 1, 5}));
    brama->Zajeta = false;
    Ticks(2);
    EXPECT_EQ(Nowe(), (std::vector<int>{10, 3}));
    EXPECT_EQ(ostatnieZdarzenie->IdUzytkownika, 0);
}

// An entry whose activation input is already active when its parent opens:
// tested in step 5, before the parent's step 6 arms it, so the own passage
// starts at the next tick, with the parent's resident.
TEST_F(PrzejazdyTest, IntermediatePassageStartsWithTheParentsResident) {
    Object_Przejazd* dalej = Przejazd(102, "Dalej", 51, false, 0, 0, 0, 0, true, false);
    auto* wpis = PrzejazdyPosrednie->DodajRekord(120, 100, 102, false, 34, 0);
    ObiektyInicjalizuj();
    ASSERT_EQ(przejazd->Posrednie().size(), 1u);
    Wejscie(Aktywacja, true);
    Wejscie(Start, true);
    Ticks(2);
    EXPECT_EQ(dalej->Stan, 2);
    Ticks(30);
    EXPECT_EQ(dalej->Stan, 2) << "a passage started only by its entry waits";
    Nowe();
    Kod("a1b2", 1);
    Ticks(2);
    EXPECT_EQ(wpis->Stan, Object_Przejazd_Posredni::Uzbrojony);
    EXPECT_EQ(Nowe(), (std::vector<int>{10, 3}));
    Tick();
    EXPECT_EQ(wpis->Stan, 2);
    Tick();
    EXPECT_EQ(Nowe(), (std::vector<int>{10, 3}));
    EXPECT_EQ(ostatnieZdarzenie->IdBramy, 51);
    EXPECT_EQ(ostatnieZdarzenie->IdUzytkownika, 70);
    EXPECT_EQ(ostatnieZdarzenie->IdIdentyfikatora, 80);
    EXPECT_TRUE(wyjscia[1]->Wlaczone());
    EXPECT_TRUE(static_cast<Object_Wyjscie*>(Wyjscia->Znajdz(47))->Wlaczone());

    // The parent is cancelled: its entry and the own passage with it.
    przejazd->Anuluj();
    Tick();
    EXPECT_EQ(wpis->Stan, Object_Przejazd_Posredni::Anulowany);
    EXPECT_EQ(Nowe(), (std::vector<int>{12, 4, 12, 4}));
    Tick();
    EXPECT_EQ(wpis->Stan, Object_Przejazd_Posredni::Bezczynny) << "the parent's reset";
    EXPECT_EQ(dalej->Stan, 2);
}

TEST_F(PrzejazdyTest, AnEntryDestroyedWhileItsParentRunsIsNeverTouchedAgain) {
    Przejazd(102, "Dalej", 51, false, 0, 0, 0, 0, true, false);
    PrzejazdyPosrednie->DodajRekord(120, 100, 102, false, 34, 0);
    ObiektyInicjalizuj();
    Wejscie(Start, true);
    Ticks(2);
    Kod("a1b2", 1);
    Ticks(3);
    PrzejazdyPosrednie->UsunPrzejazdu(102);
    EXPECT_TRUE(przejazd->Posrednie().empty());
    przejazd->Anuluj();
    Ticks(3); // cancel and reset walk the parent's entries; the sanitizers check them
    EXPECT_EQ(przejazd->Stan, 2);
}

// A running own passage that a new activation takes over from another
// resident lets go of the first one, who would otherwise be refused at
// every gate until the next start.
TEST_F(PrzejazdyTest, ATakenOverPassageReleasesTheReplacedResident) {
    Object_Przejazd* dalej = Przejazd(102, "Dalej", 51, false, 0, 0, 0, 32, true, false);
    auto* wpis = PrzejazdyPosrednie->DodajRekord(120, 100, 102, false, 34, 0);
    ObiektyInicjalizuj();
    Tick();
    przejazd->Uzytkownik = anna;
    wpis->Uzbroj();
    Wejscie(Aktywacja, true);
    Ticks(3);
    EXPECT_TRUE(dalej->Trwa());
    EXPECT_TRUE(anna->WPrzejezdzie);

    przejazd->Uzytkownik = jan;
    wpis->Uzbroj();
    EXPECT_FALSE(anna->WPrzejezdzie);
    EXPECT_EQ(dalej->Uzytkownik, jan);
    Ticks(2);
    EXPECT_TRUE(jan->WPrzejezdzie);
}

TEST(PrzejazdySortowanie, KindOneByNameOtherKindsByGateThenName) {
    GlobalModel model;
    Bramy->DodajRekord(1, "Brama 10", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    Bramy->DodajRekord(2, "Brama 9", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    const struct {
        int id;
        const char* nazwa;
        int brama;
    } przejazdy[] = {{1, "Wjazd", 1}, {2, "Wyjazd", 2}, {3, "Dojazd", 1}};
    for (const auto& p : przejazdy)
        Przejazdy->DodajRekord(p.id, p.nazwa, p.brama, false, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, false, false, "");
    PrzejazdyPosrednie->DodajRekord(10, 1, 2, false, 0, 0);
    PrzejazdyPosrednie->DodajRekord(11, 2, 3, false, 0, 0);
    ObiektyInicjalizuj();
    Przejazdy->Sortuj(1);
    EXPECT_EQ(Ids(*Przejazdy), (std::vector<int>{3, 1, 2}));
    Przejazdy->Sortuj(0);
    EXPECT_EQ(Ids(*Przejazdy), (std::vector<int>{2, 3, 1}));
    PrzejazdyPosrednie->Sortuj(0);
    EXPECT_EQ(Ids(*PrzejazdyPosrednie), (std::vector<int>{11, 10})) << "by the own passage's name";
}

} // namespace
