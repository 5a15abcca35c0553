// 10,000 built-in event rows and the closing of every tenth, written into
// the desk's zdarzenia table: by a loop of prepared single-row statements on
// one connection, each its own autocommit round trip, as the baseline; and
// through the writer, which numbers the rows from the table's sequence and
// sends them many to a transaction, timed from the first hand-over until
// Oproznij returns. Both are rates of wall-clock time (the baseline's client
// mostly waits for the server, the writer's caller only queues) and the
// writer's is also given as a ratio to the baseline's of the same run.
#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include <chrono>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/support/ScratchDatabase.h"
#include "core/DataCzas.h"
#include "core/Uslugi.h"
#include "database/PisarzBazy.h"
#include "platform/db/Connection.h"
#include "platform/db/Query.h"
#include "platform/db/TextFormat.h"

namespace {

using namespace std::chrono;
namespace db = platform::db;

constexpr int Wiersze = 10'000;
constexpr int CoKtoryZakonczony = 10;
constexpr int Zapisy = Wiersze + Wiersze / CoKtoryZakonczony;

// What the baseline managed in this run, for the writer's ratio.
double bazowyNaSekunde = 0;

ScratchDatabase& Baza() {
    static ScratchDatabase baza("pisarz", ScratchDatabase::Schema::Desk);
    return baza;
}

struct Zdarzenie {
    WierszZdarzenia wiersz;
    DataCzas koniec{}; // set on the rows that are closed
};

// Rows as the gates log them (code read, gate opened, passage created and
// ended, no right, unknown code): a resident and an identifier where the
// code was known, the gate, the button, millisecond times a few seconds
// apart.
std::vector<Zdarzenie> Zdarzenia() {
    constexpr int Rodzaje[] = {3, 10, 11, 6, 26, 4};
    const DataCzas start = local_days{2024y / 3 / 1} + 8h;
    std::vector<Zdarzenie> wynik;
    for (int i = 0; i < Wiersze; ++i) {
        const int rodzaj = Rodzaje[i % std::size(Rodzaje)];
        const bool znany = rodzaj != 26;
        const auto nullGdyZero = [](int v) { return v ? db::Value(v) : db::Value(); };
        const DataCzas czas = start + milliseconds(i * 2'371L);
        Zdarzenie z;
        z.wiersz.kolumny = {{"IdRodzajZdarzeniaWbudowane", rodzaj},
                            {"DataCzasWystapienie", czas},
                            {"IdUzytkownika", nullGdyZero(znany ? 1 + i % 1'000 : 0)},
                            {"IdBramy", 1 + i % 40},
                            {"IdIdentyfikatora", nullGdyZero(znany ? 1 + i % 20'000 : 0)},
                            {"Przycisk", 1 + i % 2}};
        if (i % CoKtoryZakonczony == 0)
            z.koniec = czas + seconds(15 + i % 30);
        wynik.push_back(std::move(z));
    }
    return wynik;
}

// Empty when the round wrote every row and closing.
std::string Sprawdz(db::Connection& polaczenie) {
    db::Query q(polaczenie);
    q.setSql("SELECT count(*), count(DataCzasZakonczenie) FROM zdarzenia");
    q.open();
    if (q.field(0).asInt() == Wiersze && q.field(1).asInt() == Wiersze / CoKtoryZakonczony)
        return {};
    return "zdarzenia holds " + std::to_string(q.field(0).asInt()) + " rows, " + std::to_string(q.field(1).asInt()) +
           " closed";
}

void Wyczysc(db::Connection& polaczenie) { polaczenie.execute("TRUNCATE zdarzenia"); }

std::unique_ptr<db::Connection> Polacz(benchmark::State& state) {
    if (!Baza().ready()) {
        state.SkipWithError("KANDOR_TEST_PG is not set; scripts/bench starts a PostgreSQL server and sets it");
        return nullptr;
    }
    auto polaczenie = std::make_unique<db::Connection>();
    Baza().configure(*polaczenie);
    polaczenie->open();
    Wyczysc(*polaczenie);
    return polaczenie;
}

// Times each round by the wall clock; checking and emptying the table
// between rounds is not timed. zapisz returns an error, empty when the
// round went through. The result is the writes per second.
template <class Zapisz>
double Mierz(benchmark::State& state, db::Connection& polaczenie, Zapisz zapisz) {
    duration<double> razem{0};
    for (auto _ : state) {
        const auto poczatek = steady_clock::now();
        std::string blad = zapisz();
        const duration<double> trwal = steady_clock::now() - poczatek;
        if (blad.empty())
            blad = Sprawdz(polaczenie);
        if (!blad.empty()) {
            state.SkipWithError(blad.c_str());
            break;
        }
        state.SetIterationTime(trwal.count());
        razem += trwal;
        Wyczysc(polaczenie);
    }
    if (state.error_occurred())
        return 0;
    state.SetItemsProcessed(state.iterations() * Zapisy);
    return static_cast<double>(state.iterations()) * Zapisy / razem.count();
}

PGresult* Sprawdzony(PGconn* conn, PGresult* wynik, ExecStatusType oczekiwany) {
    if (PQresultStatus(wynik) != oczekiwany) {
        PQclear(wynik);
        throw std::runtime_error(PQerrorMessage(conn));
    }
    return wynik;
}

void BM_PisarzBaseline_PreparedInsert(benchmark::State& state) {
    const std::unique_ptr<db::Connection> polaczenie = Polacz(state);
    if (!polaczenie)
        return;
    const std::vector<Zdarzenie> zdarzenia = Zdarzenia();
    PGconn* conn = polaczenie->native();
    const char* kolumny = "IdRodzajZdarzeniaWbudowane, DataCzasWystapienie, IdUzytkownika, IdBramy, "
                          "IdIdentyfikatora, Przycisk";
    PQclear(Sprawdzony(conn,
                       PQprepare(conn, "wiersz",
                                 (std::string("INSERT INTO zdarzenia (") + kolumny +
                                  ") VALUES ($1, $2, $3, $4, $5, $6) RETURNING IdZdarzenia")
                                     .c_str(),
                                 6, nullptr),
                       PGRES_COMMAND_OK));
    PQclear(Sprawdzony(
        conn, PQprepare(conn, "koniec", "UPDATE zdarzenia SET DataCzasZakonczenie = $1 WHERE IdZdarzenia = $2", 2, nullptr),
        PGRES_COMMAND_OK));

    bazowyNaSekunde = Mierz(state, *polaczenie, [&] {
        for (const Zdarzenie& z : zdarzenia) {
            std::optional<std::string> teksty[6];
            const char* wartosci[6];
            for (int i = 0; i < 6; ++i) {
                teksty[i] = db::text_format::encode(z.wiersz.kolumny[static_cast<std::size_t>(i)].second);
                wartosci[i] = teksty[i] ? teksty[i]->c_str() : nullptr;
            }
            PGresult* wynik = Sprawdzony(conn, PQexecPrepared(conn, "wiersz", 6, wartosci, nullptr, nullptr, 0),
                                         PGRES_TUPLES_OK);
            const std::string id = PQgetvalue(wynik, 0, 0);
            PQclear(wynik);
            if (!Ustawiona(z.koniec))
                continue;
            const std::string koniec = *db::text_format::encode(z.koniec);
            const char* zakonczenie[2] = {koniec.c_str(), id.c_str()};
            PQclear(Sprawdzony(conn, PQexecPrepared(conn, "koniec", 2, zakonczenie, nullptr, nullptr, 0),
                               PGRES_COMMAND_OK));
        }
        return std::string();
    });
}
BENCHMARK(BM_PisarzBaseline_PreparedInsert)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

void BM_Pisarz(benchmark::State& state) {
    const std::unique_ptr<db::Connection> polaczenie = Polacz(state);
    if (!polaczenie)
        return;
    const std::vector<Zdarzenie> zdarzenia = Zdarzenia();
    PisarzBazy pisarz;
    pisarz.UstawPolaczenie(*polaczenie);
    // The thread starts and connects at its first write, which the desk
    // does once at start-up: not timed.
    pisarz.Zapisz(zdarzenia.front().wiersz, std::make_shared<std::atomic<std::int32_t>>(0));
    if (!pisarz.Oproznij(30s)) {
        state.SkipWithError("the writer did not write its first row");
        return;
    }
    Wyczysc(*polaczenie);

    const double naSekunde = Mierz(state, *polaczenie, [&] {
        for (const Zdarzenie& z : zdarzenia) {
            auto id = std::make_shared<std::atomic<std::int32_t>>(0);
            pisarz.Zapisz(z.wiersz, id);
            if (Ustawiona(z.koniec))
                pisarz.Zakoncz(id, z.koniec);
        }
        return pisarz.Oproznij(60s) ? std::string() : std::string("the writer did not finish within a minute");
    });
    if (naSekunde > 0 && bazowyNaSekunde > 0)
        state.counters["wobec_bazowego"] = naSekunde / bazowyNaSekunde;
}
BENCHMARK(BM_Pisarz)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace
