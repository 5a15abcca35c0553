// The road of one event while the database server is away in each of the
// ways a real one goes: a host that went silent, a refused port, a lock held
// by another session, a session killed in the middle of a write, a commit
// whose answer never came. The gate opens at once every time, the tick never
// waits, and when the server is back every row is there once, in order, with
// its own time.
#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "core/Mozg.h"
#include "core/Object_Brama.h"
#include "core/Object_Czytnik.h"
#include "core/Object_Grupa_Uzytkownikow.h"
#include "core/Object_Grupa_Uzytkownikow_Brama.h"
#include "core/Object_Identyfikator.h"
#include "core/Object_Karta.h"
#include "core/Object_Magistrala.h"
#include "core/Object_Przejazd.h"
#include "core/Object_Uzytkownik.h"
#include "core/Object_Wejscie.h"
#include "core/Object_Wyjscie.h"
#include "core/Object_Zdarzenie.h"
#include "core/Objects_globals.h"
#include "database/TDM.h"
#include "devices/Urzadzenia.h"
#include "platform/db/Connection.h"
#include "platform/db/DateTime.h"
#include "platform/db/DbError.h"
#include "tests/support/BoardSimulator.h"
#include "database/Database.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/OwnCluster.h"
#include "tests/support/PtyPeer.h"
#include "tests/support/ServerRelay.h"
#include "tests/support/TemporaryHome.h"
#include "tests/support/TestDataModule.h"
#include "tests/support/TickUntil.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Mode = ServerRelay::Mode;

constexpr std::uint8_t Start = 0b01, Koniec = 0b10;
constexpr std::uint8_t Otworz = 0b01;

// The rows of one passage by a resident, from the reading to its end.
constexpr const char* WierszePrzejazdu = "10 3 2 1 2 4 11";

// A tick that waited for the server would take the connect or statement
// time-out (seconds); a tick that does not is far below this, even under a
// sanitizer on a loaded machine.
constexpr auto NajdluzszyTakt = 250ms;

// One entrance (a reader board on a pseudo-terminal, a gate, a passage, a
// resident with a right) whose data module reaches the server through a
// relay the test switches.
class SerwerNieodpowiadaTest : public TestSchema {
protected:
    void SetUp() override {
        TestSchema::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        relay.emplace(host(), port());
        DM->FDConnection.close();
        DM->FDConnection.setHost("127.0.0.1");
        DM->FDConnection.setPort(relay->port());
        DM->FDConnection.open();

        simulator.addBoard(300, 1);
        Magistrale->Dodaj(1, peer.com(), 2, 19200, "Wjazd");
        Karty->DodajRekord(10, 1, 1, 300, "Karta wjazdu");
        Czytniki->DodajRekord(20, 10, 1, "Czytnik wjazdu");
        start = Wejscia->DodajRekord(31, 10, 1, "Przed bramą");
        Wejscia->DodajRekord(32, 10, 2, "Za bramą");
        Wyjscia->DodajRekord(41, 10, 0, 1, "Otwórz", 0, 0);
        Wyjscia->DodajRekord(42, 10, 0, 2, "Zamknij", 0, 0);
        Bramy->DodajRekord(50, "Szlaban", 41, 42, 500, 500, 100, 100, 0, 0, 0, 0);
        GrupyUzytkownikow->DodajRekord(60, "Mieszkańcy");
        Uzytkownicy->DodajRekord(70, 60, "Anna", "Nowak", "", "", "", "", 0, false, "");
        exec("INSERT INTO identyfikatory (IdIdentyfikatora, Rodzaj, NumerSeryjny, Licznik, IdUzytkownika, IdLokalu, "
             "LicznikUzycia) VALUES (80, 1, 'a1b2c3', 0, 70, 0, 0)");
        auto* identyfikator =
            Identyfikatory->DodajRekord(80, 70, 0, 1, "a1b2c3", 0, 0, DataCzas{}, DataCzas{}, DataCzas{});
        GrupyUzytkownikowBramy->DodajRekord(90, 60, 50, 0b1);
        przejazd = Przejazdy->DodajRekord(100, "Wjazd", 50, false, 20, 31, 0, 32, 0, 0, 0, 0, 0, 0, 0, 0, false,
                                          false, "");
        ASSERT_TRUE(MozgStart());
        identyfikator->Licznik = 1; // moved since the load: the passage writes its use
        simulator.setInputs(300, Start);
        ASSERT_TRUE(TickUntil([&] { return start->Stan && przejazd->Stan == 2; }));
        ASSERT_TRUE(DM->Pisarz.Oproznij(30s));
        przed = Wiersze();
    }
    void TearDown() override {
        if (relay)
            relay->setMode(Mode::Forward);
        MozgStop();
        TestSchema::TearDown();
    }

    std::string Wiersze() {
        return scalarNow("SELECT string_agg(IdRodzajZdarzeniaWbudowane::text, ' ' ORDER BY IdZdarzenia) FROM zdarzenia");
    }
    bool Wyslane(std::uint8_t bit) const { return (simulator.board(300).outputs.value_or(0) & bit) != 0; }

    // One tick as the main window's timer runs it, timed.
    void Takt() {
        const auto poczatek = Clock::now();
        MozgTick();
        najdluzszy = std::max(najdluzszy, Clock::now() - poczatek);
        std::this_thread::sleep_for(10ms);
    }
    bool TaktujAz(const std::function<bool()>& warunek, std::chrono::milliseconds limit = 30s) {
        const auto koniec = Clock::now() + limit;
        while (Clock::now() < koniec) {
            Takt();
            if (warunek())
                return true;
        }
        return false;
    }
    void TaktujPrzez(std::chrono::milliseconds czas) {
        TaktujAz([] { return false; }, czas);
    }

    // The resident's code at the reader and the whole passage, with the
    // server away: the gate opens in the next poll frames.
    void Przejazd() {
        Odczyt();
        if (!HasFatalFailure())
            Przejechal();
    }
    void Odczyt() {
        simulator.setPendingReading(300, {"a1b2c3", 7, 1});
        const auto odczyt = Clock::now();
        ASSERT_TRUE(TaktujAz([&] { return Wyslane(Otworz); })) << "the open output in a poll frame";
        doOtwarcia = Clock::now() - odczyt;
    }
    void Przejechal() {
        ASSERT_TRUE(TaktujAz([&] { return przejazd->Stan == 6; })) << "the gate has opened";
        simulator.setInputs(300, 0);
        ASSERT_TRUE(TaktujAz([&] { return przejazd->Stan == 7; }));
        simulator.setInputs(300, Koniec);
        ASSERT_TRUE(TaktujAz([&] { return przejazd->Stan == 8; }));
        simulator.setInputs(300, 0);
        ASSERT_TRUE(TaktujAz([&] { return przejazd->Stan == 2; }));
    }

    // After the server is back: every row once, in order, with the time it
    // happened, and the use count.
    void WszystkoZapisane() {
        ASSERT_TRUE(TaktujAz([&] { return DM->Pisarz.Czeka() == 0; }, 60s)) << DM->Pisarz.Czeka();
        ASSERT_TRUE(DM->Pisarz.Oproznij(30s));
        EXPECT_EQ(Wiersze(), przed + " " + WierszePrzejazdu);
        EXPECT_EQ(scalar("SELECT LicznikUzycia FROM identyfikatory WHERE IdIdentyfikatora = 80"), "1");
        for (int i = 0; i < Zdarzenia->Rozmiar(); ++i) {
            const auto* z = static_cast<const Object_Zdarzenie*>(Zdarzenia->Element(i));
            SCOPED_TRACE(z->IdRodzajZdarzeniaWbudowane);
            ASSERT_GT(z->IdWiersza(), 0);
            EXPECT_EQ(*platform::db::parseDateTime(scalar("SELECT DataCzasWystapienie FROM zdarzenia WHERE "
                                                          "IdZdarzenia = " + std::to_string(z->IdWiersza()))),
                      z->DataCzasWystapienie);
        }
        EXPECT_LT(najdluzszy, NajdluzszyTakt);
        EXPECT_LT(doOtwarcia, NajdluzszyTakt);
    }

    // The data module's own statement while the writer knows the server is
    // away fails at once, with nothing waited for.
    void OknoDostajeBladOdRazu() {
        ASSERT_TRUE(TaktujAz([&] { return DM->Pisarz.SerwerNieodpowiada().load(); }));
        try {
            DM->FDConnection.execute("SELECT 1");
            ADD_FAILURE() << "a statement ran while the server was away";
        } catch (const platform::db::DbError& e) {
            EXPECT_EQ(e.kind(), platform::db::DbError::ServerGone);
            EXPECT_NE(std::string(e.what()).find("not answering"), std::string::npos) << e.what();
        }
    }

    // A session of the test's own that holds zdarzenia locked until Zwolnij.
    void Zablokuj() {
        blokada = connect();
        PQclear(PQexec(blokada, "BEGIN"));
        PQclear(PQexec(blokada, "LOCK TABLE zdarzenia IN ACCESS EXCLUSIVE MODE"));
    }
    void Zwolnij() { PQclear(PQexec(blokada, "COMMIT")); }
    bool PisarzCzekaNaBlokade() {
        return scalarNow("SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() AND "
                      "application_name = 'kandor' AND wait_event_type = 'Lock'") != "0";
    }

    bool urzadzenia = (RejestrujUrzadzenia(), true); // before the containers are made
    PtyPeer peer{9};
    BoardSimulator simulator{peer, 2};
    GlobalModel model;
    std::optional<ServerRelay> relay;
    Object_Wejscie* start = nullptr;
    Object_Przejazd* przejazd = nullptr;
    std::string przed;
    PGconn* blokada = nullptr;
    Clock::duration najdluzszy{};
    Clock::duration doOtwarcia{};
};

TEST_F(SerwerNieodpowiadaTest, AServerThatAcceptsAndNeverAnswers) {
    relay->setMode(Mode::Silent);
    Przejazd();
    OknoDostajeBladOdRazu();
    TaktujPrzez(2s);
    relay->setMode(Mode::Forward);
    WszystkoZapisane();
}

TEST_F(SerwerNieodpowiadaTest, AServerWhosePortRefuses) {
    relay->setMode(Mode::Refuse);
    Przejazd();
    OknoDostajeBladOdRazu();
    relay->setMode(Mode::Forward);
    WszystkoZapisane();
}

TEST_F(SerwerNieodpowiadaTest, ATableLockHeldForTenSeconds) {
    Zablokuj();
    Przejazd();
    const auto koniec = Clock::now() + 10s;
    TaktujAz([&] { return Clock::now() >= koniec; }, 11s);
    Zwolnij();
    WszystkoZapisane();
}

// The writer's session is killed while its write waits inside the server.
TEST_F(SerwerNieodpowiadaTest, TheWritersSessionKilledMidStatement) {
    Zablokuj();
    Przejazd();
    ASSERT_TRUE(TaktujAz([&] { return PisarzCzekaNaBlokade(); }));
    exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = current_database() AND "
         "application_name = 'kandor' AND wait_event_type = 'Lock'");
    TaktujPrzez(1s);
    Zwolnij();
    WszystkoZapisane();
}

// The server commits the writer's batch, and the answer is lost with the
// connection: the batch is sent again and writes nothing twice.
TEST_F(SerwerNieodpowiadaTest, ACommitWhoseAnswerWasLost) {
    Zablokuj();
    Odczyt();
    // Within the writer's statement time-out, or the server would cancel
    // the batch itself.
    ASSERT_TRUE(TaktujAz([&] { return PisarzCzekaNaBlokade(); }));
    relay->setMode(Mode::Silent);
    Zwolnij();
    ASSERT_TRUE(TaktujAz([&] { return Wiersze().rfind(przed + " 10", 0) == 0; })) << "committed meanwhile";
    Przejechal();
    OknoDostajeBladOdRazu();
    relay->setMode(Mode::Forward);
    WszystkoZapisane();
}

// A tick that made a round trip to the server would be counted here.
TEST_F(SerwerNieodpowiadaTest, NoStatementRunsInsideTheTick) {
    const long przedTaktem = platform::db::NoStatementsHere::violations();
    Przejazd();
    WszystkoZapisane();
    EXPECT_EQ(platform::db::NoStatementsHere::violations(), przedTaktem);
}

// The server itself stops outright (as at a power cut) while the writer's
// batch waits inside it, and comes back through crash recovery: what the
// writer had sent and what came meanwhile is written once, in order, with
// its own times, and the ids after the crash are new ones.
TEST(SerwerZatrzymany, StoppedOutrightMidStatementAndRecovered) {
    TemporaryHome home;
    OwnCluster klaster;
    if (!klaster.ready())
        GTEST_SKIP() << "no PostgreSQL cluster of the test's own could be started";
    GlobalModel model;
    DM = new TDM;
    DM->FDConnection.setHost("127.0.0.1");
    DM->FDConnection.setPort(klaster.port());
    DM->FDConnection.setDatabase("postgres");
    DM->FDConnection.setUser("postgres");
    DM->FDConnection.setPassword("tarnelis");
    DM->FDConnection.open();
    ASSERT_TRUE(UtworzBaze());
    const std::string adres = "host=127.0.0.1 port=" + std::to_string(klaster.port()) +
                              " user=postgres password=tarnelis dbname=postgres";
    const auto zapytanie = [&](const std::string& sql) {
        PGconn* c = PQconnectdb(adres.c_str());
        PGresult* r = PQexec(c, sql.c_str());
        EXPECT_EQ(PQresultStatus(r), PGRES_TUPLES_OK) << sql << ": " << PQerrorMessage(c);
        std::string wynik = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) > 0 ? PQgetvalue(r, 0, 0) : "";
        PQclear(r);
        PQfinish(c);
        return wynik;
    };
    std::vector<Object_Zdarzenie*> zdarzenia;
    const auto zdarzenie = [&](int rodzaj) {
        std::this_thread::sleep_for(2ms); // a millisecond of its own
        zdarzenia.push_back(Objects_Zdarzenia::DodajZdarzenieWbudowane(Zdarzenia, rodzaj, TerazLokalnie(), 0, 0, 0, 0));
    };

    zdarzenie(1);
    ASSERT_TRUE(DM->Pisarz.Oproznij(30s));
    PGconn* blokada = PQconnectdb(adres.c_str());
    PQclear(PQexec(blokada, "BEGIN"));
    PQclear(PQexec(blokada, "LOCK TABLE zdarzenia IN ACCESS EXCLUSIVE MODE"));
    zdarzenie(2);
    zdarzenie(3);
    bool czeka = false;
    for (int i = 0; i < 500 && !czeka; ++i) {
        czeka = zapytanie("SELECT count(*) FROM pg_stat_activity WHERE application_name = 'kandor' AND "
                          "wait_event_type = 'Lock'") == "1";
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_TRUE(czeka) << "the writer's batch waits inside the server";
    ASSERT_TRUE(klaster.stopImmediately());
    PQfinish(blokada);
    zdarzenie(4);
    ASSERT_TRUE(klaster.start());
    zdarzenie(5);
    ASSERT_TRUE(DM->Pisarz.Oproznij(60s));

    EXPECT_EQ(zapytanie("SELECT string_agg(IdRodzajZdarzeniaWbudowane::text, ' ' ORDER BY IdZdarzenia) FROM zdarzenia"),
              "1 2 3 4 5");
    for (const Object_Zdarzenie* z : zdarzenia) {
        SCOPED_TRACE(z->IdRodzajZdarzeniaWbudowane);
        EXPECT_EQ(*platform::db::parseDateTime(zapytanie("SELECT DataCzasWystapienie FROM zdarzenia WHERE IdZdarzenia = " +
                                                         std::to_string(z->IdWiersza()))),
                  z->DataCzasWystapienie);
    }
    delete DM;
    DM = nullptr;
}

} // namespace
