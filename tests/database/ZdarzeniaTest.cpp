#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "core/Czas.h"
#include "core/Komunikaty.h"
#include "core/Object_Identyfikator.h"
#include "core/Object_Lokal.h"
#include "core/Object_Rodzaj_Zdarzenia.h"
#include "core/Object_Zdarzenia_Akcja.h"
#include "core/Object_Zdarzenie.h"
#include "core/Object_Grupa_Lokali_Lokal.h"
#include "core/Object_Wyjscie.h"
#include "core/Objects_globals.h"
#include "database/TDM.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/SettableClock.h"
#include "tests/support/TestDataModule.h"

namespace {

using namespace std::chrono_literals;
using Msg = RecordingWindow::Message;

DataCzas Data(const std::string& tekst) { return *platform::db::parseDateTime(tekst); }

class ZdarzeniaTest : public TestSchema {
protected:
    // One logic tick as far as the event log goes: steps 11 and 12.
    void Tick() {
        Czas::Migawka();
        RodzajeZdarzen->Krok();
        Zdarzenia->ZakonczZdarzenia();
    }
    Object_Rodzaj_Zdarzenia* Rodzaj(int id, int czasTrwania, int kolejne = 0) {
        return RodzajeZdarzen->DodajRekord(id, "rodzaj " + std::to_string(id), 0, 0, 0, czasTrwania, kolejne, "");
    }
    void PolaczRodzaje() {
        for (int i = 0; i < RodzajeZdarzen->Rozmiar(); ++i)
            RodzajeZdarzen->Element(i)->Polacz();
    }
    // Everything handed to the writer is in the tables.
    void Zapisane() { ASSERT_TRUE(DM->Pisarz.Oproznij(30s)); }
    // "kind:open|closed" per row of zdarzenia, in id order.
    std::string Wiersze() {
        return scalar("SELECT string_agg(coalesce(IdRodzajZdarzenia, -IdRodzajZdarzeniaWbudowane) || ':' || "
                      "CASE WHEN DataCzasZakonczenie IS NULL THEN 'open' ELSE 'closed' END, ' ' ORDER BY IdZdarzenia) "
                      "FROM zdarzenia");
    }
    DataCzas KolumnaCzasu(const std::string& kolumna, int idZdarzenia) {
        const std::string tekst =
            scalar("SELECT " + kolumna + " FROM zdarzenia WHERE IdZdarzenia = " + std::to_string(idZdarzenia));
        return tekst.empty() ? DataCzas{} : Data(tekst);
    }

    SettableClock zegar;
    GlobalModel model;
    RecordingWindow okno;
};

TEST_F(ZdarzeniaTest, BuiltInRowWritesNullForEachMissingValueAndMilliseconds) {
    struct Case {
        const char* name;
        int uzytkownik, brama, identyfikator, przycisk;
        const char* wiersz;
    };
    const Case cases[] = {
        {"nothing given", 0, 0, 0, 0, "27||||||"},
        {"all given", 5, 6, 7, 2, "27||5|6|7|2|"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        okno.clear();
        Object_Zdarzenie* z = Objects_Zdarzenia::DodajZdarzenieWbudowane(
            Zdarzenia, 27, Data("2026-03-04 05:06:07.891234"), c.uzytkownik, c.brama, c.identyfikator, c.przycisk);
        ASSERT_NE(z, nullptr);
        Zapisane();
        EXPECT_LT(z->Id(), 0);
        const std::string id = std::to_string(z->IdWiersza());
        EXPECT_EQ(scalar("SELECT concat_ws('|', IdRodzajZdarzeniaWbudowane, coalesce(IdRodzajZdarzenia::text, ''), "
                         "coalesce(IdUzytkownika::text, ''), coalesce(IdBramy::text, ''), "
                         "coalesce(IdIdentyfikatora::text, ''), coalesce(Przycisk::text, ''), "
                         "coalesce(DataCzasZakonczenie::text, '')) FROM zdarzenia WHERE IdZdarzenia = " + id),
                  std::string(c.wiersz));
        EXPECT_EQ(scalar("SELECT DataCzasWystapienie FROM zdarzenia WHERE IdZdarzenia = " + id),
                  "2026-03-04 05:06:07.891");
        EXPECT_EQ(okno.messages(), (std::vector<Msg>{{WM_ZDARZENIE, 27, 2, false}}));
    }
}

TEST_F(ZdarzeniaTest, KindWithoutDurationStaysOpenUntilReleased) {
    Object_Rodzaj_Zdarzenia* r = Rodzaj(1, 0);
    r->Wlacz();
    Tick();
    ASSERT_NE(r->Zdarzenie, nullptr);
    const int id = r->Zdarzenie->Id();
    EXPECT_EQ(okno.messages(), (std::vector<Msg>{{WM_ZDARZENIE, 1, 1, false}}));
    zegar.advance(3600);
    Tick();
    EXPECT_EQ(Wiersze(), "1:open");
    okno.clear();
    r->Wylacz();
    Tick();
    EXPECT_EQ(Wiersze(), "1:closed");
    EXPECT_EQ(r->Zdarzenie, nullptr);
    EXPECT_EQ(okno.messages(), (std::vector<Msg>{{WM_ZDARZENIE, 1, 0, true}}));
    const auto* z = static_cast<Object_Zdarzenie*>(Zdarzenia->Znajdz(id));
    EXPECT_EQ(KolumnaCzasu("DataCzasZakonczenie", z->IdWiersza()), z->DataCzasZakonczenie);
}

// The tick does not wait for the server's verdict: the event opens, and a
// row the server refuses is logged at its writer's line and dropped, with
// its closing; the rows after it are written.
TEST_F(ZdarzeniaTest, RefusedRowIsLoggedAndTheRowsAfterItAreWritten) {
    Object_Rodzaj_Zdarzenia* r = Rodzaj(1, 0);
    exec("ALTER TABLE zdarzenia RENAME TO zdarzenia_gdzie_indziej");
    r->Wlacz();
    Tick();
    EXPECT_NE(r->Zdarzenie, nullptr);
    Zapisane();
    // The fixture's home folder is the test's own (see TestDatabase).
    std::ifstream log(std::filesystem::path(std::getenv("HOME")) / "Documents" / "kandor_exception.log");
    std::stringstream tekst;
    tekst << log.rdbuf();
    EXPECT_NE(tekst.str().find("Object_Zdarzenia : 155"), std::string::npos) << tekst.str();

    exec("ALTER TABLE zdarzenia_gdzie_indziej RENAME TO zdarzenia");
    r->Wylacz();
    Tick();
    Objects_Zdarzenia::DodajZdarzenieWbudowane(Zdarzenia, 27, TerazLokalnie(), 0, 0, 0, 0);
    EXPECT_EQ(Wiersze(), "-27:open");
}

TEST_F(ZdarzeniaTest, TwoSourcesShareOneOpenEvent) {
    Object_Rodzaj_Zdarzenia* r = Rodzaj(1, 0);
    r->Wlacz();
    Tick();
    r->Wlacz();
    Tick();
    r->Wylacz();
    Tick();
    EXPECT_EQ(Wiersze(), "1:open");
    r->Wylacz();
    Tick();
    EXPECT_EQ(Wiersze(), "1:closed");
}

TEST_F(ZdarzeniaTest, TimedKindHandsOverToItsFollowUpUntilReleased) {
    Object_Rodzaj_Zdarzenia* r = Rodzaj(1, 5, 2);
    Object_Rodzaj_Zdarzenia* kolejny = Rodzaj(2, 0);
    PolaczRodzaje();
    r->Wlacz();
    Tick();
    EXPECT_EQ(Wiersze(), "1:open");
    zegar.advance(5);
    Tick();
    // Closed at the duration; the follow-up opens at the next tick.
    EXPECT_EQ(Wiersze(), "1:closed");
    EXPECT_TRUE(kolejny->Aktywny());
    Tick();
    EXPECT_EQ(Wiersze(), "1:closed 2:open");
    zegar.advance(15);
    Tick();
    EXPECT_EQ(Wiersze(), "1:closed 2:open");
    r->Wylacz();
    Tick();
    EXPECT_EQ(Wiersze(), "1:closed 2:closed");
    EXPECT_EQ(kolejny->LicznikAktywacji(), 0);
    EXPECT_EQ(Zdarzenia->IloscOtwartych(), 0u);
}

TEST_F(ZdarzeniaTest, KeepsOpenEventsAndOnlyTheNewestFinishedOnes) {
    Object_Rodzaj_Zdarzenia* r = Rodzaj(1, 0);
    r->Wlacz();
    Tick();
    Object_Zdarzenie* otwarte = r->Zdarzenie;
    ASSERT_NE(otwarte, nullptr);
    const DataCzas czas = TerazLokalnie();
    std::vector<int> ids;
    const int nadmiar = 5;
    for (std::size_t i = 0; i < Objects_Zdarzenia::LimitZakonczonych + nadmiar; ++i) {
        Object_Zdarzenie* z = Objects_Zdarzenia::DodajZdarzenieWbudowane(Zdarzenia, 1, czas, 0, 0, 0, 0);
        ASSERT_NE(z, nullptr);
        ids.push_back(z->Id());
    }
    EXPECT_EQ(Zdarzenia->IloscZakonczonych(), Objects_Zdarzenia::LimitZakonczonych);
    EXPECT_EQ(Zdarzenia->Ilosc(), static_cast<int>(Objects_Zdarzenia::LimitZakonczonych) + 1);
    EXPECT_EQ(Zdarzenia->Znajdz(otwarte->Id()), otwarte);
    for (int i = 0; i < nadmiar; ++i)
        EXPECT_EQ(Zdarzenia->Znajdz(ids[i]), nullptr);
    EXPECT_NE(Zdarzenia->Znajdz(ids[nadmiar]), nullptr);
    // The table keeps every row.
    EXPECT_EQ(scalar("SELECT count(*) FROM zdarzenia"), std::to_string(ids.size() + 1));
    r->Wylacz();
    Tick();
    EXPECT_EQ(Wiersze().substr(0, 8), "1:closed");
    EXPECT_EQ(Zdarzenia->Ilosc(), static_cast<int>(Objects_Zdarzenia::LimitZakonczonych));
}

TEST_F(ZdarzeniaTest, ControllerRowCarriesWhatItResolvedAndTriggersTheActions) {
    Lokale->DodajRekord(40, 0, "40", 9, 0, false, 0, false, "", 0, false, false, 0);
    Lokale->DodajRekord(41, 0, "41", 3, 0, false, 7, false, "", 0, false, false, 0);
    Identyfikatory->DodajRekord(50, 0, 40, 2, "1A2B", 0, 0, {}, {}, {})->Polacz();
    GrupyLokaliLokale->DodajRekord(1, 7, 41);
    // One action per case: the first for any flat, the second only for
    // flats of group 7.
    Wyjscia->DodajRekord(1, 0, 0, 1, "furtka", 0, 0);
    auto* naKod = ZdarzeniaAkcje->DodajRekord(1, 22, 3, 0, 0, 1, 0, true, 5);
    auto* wGrupie = ZdarzeniaAkcje->DodajRekord(2, 15, 0, 0, 7, 1, 0, true, 5);
    struct Case {
        const char* name;
        std::int32_t transponder, lokal;
        const char* wiersz; // IdIdentyfikatora|IdLokalu|Transponder|Lokal|KlatkaCel|KodPin|IdZarvoKlawiatury
        int wbudowane;
        Object_Zdarzenia_Akcja* akcja;
    };
    const Case cases[] = {
        {"transponder finds its identifier, whatever the case, and its flat", 6699, 0, "50|40|6699||65535||",
         22, naKod},
        {"flat number inside the controller", 0, 7, "|41||7|65535||", 15, wGrupie},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        okno.clear();
        naKod->Stan = wGrupie->Stan = Object_Zdarzenia_Akcja::Etap::Bezczynna;
        Object_Zdarzenie* z = Objects_Zdarzenia::DodajZdarzenieCentrali(
            ZdarzeniaCentrali, c.wbudowane, TerazLokalnie(), c.transponder, 3, c.lokal, 0, 0, 0xFFFF, 0);
        ASSERT_NE(z, nullptr);
        Zapisane();
        EXPECT_EQ(scalar("SELECT concat_ws('|', coalesce(IdIdentyfikatora::text, ''), coalesce(IdLokalu::text, ''), "
                         "coalesce(Transponder::text, ''), coalesce(Lokal::text, ''), coalesce(KlatkaCel::text, ''), "
                         "coalesce(KodPin::text, ''), coalesce(IdZarvoKlawiatury::text, '')) FROM zdarzenia_centrali "
                         "WHERE IdZdarzeniaCentrali = " + std::to_string(z->IdWiersza())),
                  c.wiersz);
        EXPECT_EQ(c.akcja->Stan, Object_Zdarzenia_Akcja::Etap::Wyzwolona);
        EXPECT_EQ((naKod->Stan == Object_Zdarzenia_Akcja::Etap::Wyzwolona) +
                      (wGrupie->Stan == Object_Zdarzenia_Akcja::Etap::Wyzwolona),
                  1);
        EXPECT_EQ(okno.messages(), (std::vector<Msg>{{WM_ZDARZENIE_CENTRALI, c.wbudowane, 2, false}}));
    }
    EXPECT_EQ(Zdarzenia->Ilosc(), 0);
}

// For a while the server cannot be reached (the desk is pointed at a port
// nobody listens on, as when the server is down): events open and close
// meanwhile, and when it answers again every row is there, in order, with
// its own times.
TEST_F(ZdarzeniaTest, RowsWrittenDuringAnOutageArriveInOrderWithTheirOwnTimes) {
    Object_Rodzaj_Zdarzenia* przed = Rodzaj(1, 0);
    Object_Rodzaj_Zdarzenia* w_trakcie = Rodzaj(2, 0);
    przed->Wlacz();
    Tick();
    ASSERT_NE(przed->Zdarzenie, nullptr);
    Object_Zdarzenie* pierwsze = przed->Zdarzenie;
    Zapisane();

    const int port = DM->FDConnection.port();
    DM->FDConnection.setPort(1);
    okno.clear();
    auto krok = [&] {
        std::this_thread::sleep_for(2ms); // distinct milliseconds for each row's time
        Tick();
    };
    przed->Wylacz();
    krok(); // closing of a written row
    w_trakcie->Wlacz();
    krok(); // a new row
    Object_Zdarzenie* drugie = w_trakcie->Zdarzenie;
    ASSERT_NE(drugie, nullptr);
    EXPECT_LT(drugie->Id(), 0);
    std::this_thread::sleep_for(2ms);
    Object_Zdarzenie* wbudowane =
        Objects_Zdarzenia::DodajZdarzenieWbudowane(Zdarzenia, 28, TerazLokalnie(), 0, 0, 0, 0);
    ASSERT_NE(wbudowane, nullptr);
    w_trakcie->Wylacz();
    krok(); // closing of a row that is itself still waiting
    EXPECT_EQ(DM->Pisarz.Czeka(), 4u);
    EXPECT_EQ(okno.messages(), (std::vector<Msg>{{WM_ZDARZENIE, 1, 0, true},
                                                 {WM_ZDARZENIE, 2, 1, false},
                                                 {WM_ZDARZENIE, 28, 2, false},
                                                 {WM_ZDARZENIE, 2, 0, true}}));
    EXPECT_EQ(scalarNow("SELECT count(*) FROM zdarzenia WHERE DataCzasZakonczenie IS NULL"), "1");

    DM->FDConnection.setPort(port);
    Objects_Zdarzenia::DodajZdarzenieWbudowane(Zdarzenia, 27, TerazLokalnie(), 0, 0, 0, 0);
    EXPECT_EQ(Wiersze(), "1:closed 2:closed -28:open -27:open");
    ASSERT_GT(drugie->IdWiersza(), pierwsze->IdWiersza());
    EXPECT_GT(wbudowane->IdWiersza(), drugie->IdWiersza());
    for (Object_Zdarzenie* z : {pierwsze, drugie, wbudowane}) {
        SCOPED_TRACE(z->IdWiersza());
        EXPECT_EQ(KolumnaCzasu("DataCzasWystapienie", z->IdWiersza()), z->DataCzasWystapienie);
        EXPECT_EQ(KolumnaCzasu("DataCzasZakonczenie", z->IdWiersza()), z->DataCzasZakonczenie);
    }
    EXPECT_LT(pierwsze->DataCzasZakonczenie, drugie->DataCzasWystapienie);
    EXPECT_LT(drugie->DataCzasWystapienie, wbudowane->DataCzasWystapienie);
    EXPECT_LT(wbudowane->DataCzasWystapienie, drugie->DataCzasZakonczenie);
}

} // namespace

namespace {

// An outage longer than the writer holds: what does not fit is dropped and
// logged, once when it starts and with its count when the queue has run
// empty; everything it kept is written.
TEST_F(ZdarzeniaTest, AFullWriterDropsTheRestAndSaysHowMany) {
    const int port = DM->FDConnection.port();
    DM->FDConnection.setPort(1);
    const DataCzas czas = TerazLokalnie();
    for (std::size_t i = 0; i < PisarzBazy::Pojemnosc + 5; ++i)
        Objects_Zdarzenia::DodajZdarzenieWbudowane(Zdarzenia, 27, czas, 0, 0, 0, 0);
    EXPECT_EQ(DM->Pisarz.Czeka(), PisarzBazy::Pojemnosc);

    // The writer follows the connection at the next write, itself one too
    // many.
    DM->FDConnection.setPort(port);
    Objects_Zdarzenia::DodajZdarzenieWbudowane(Zdarzenia, 28, czas, 0, 0, 0, 0);
    EXPECT_EQ(scalar("SELECT count(*) FROM zdarzenia"), std::to_string(PisarzBazy::Pojemnosc));
    std::ifstream log(std::filesystem::path(std::getenv("HOME")) / "Documents" / "kandor_exception.log");
    std::stringstream tekst;
    tekst << log.rdbuf();
    EXPECT_NE(tekst.str().find("event rows are dropped"), std::string::npos) << tekst.str();
    EXPECT_NE(tekst.str().find(": 6 event rows were not written"), std::string::npos) << tekst.str();
}

} // namespace
