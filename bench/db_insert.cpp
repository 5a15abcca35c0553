// 10,000 event rows inserted one by one, each in its own (autocommit)
// transaction as the event log writes them: through one prepared libpq
// statement as the baseline, and through Table (append, set fields, post,
// read back the serial), which is how the desk writes them. Rates are of
// wall-clock time: the client's own CPU time leaves out the round trips,
// which are most of the cost.
#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <unistd.h>

#include <cstdlib>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/db/Connection.h"
#include "platform/db/DateTime.h"
#include "platform/db/Table.h"
#include "bench/support/ScratchDatabase.h"

namespace {

using namespace std::chrono;
namespace db = platform::db;

constexpr int Rows = 10'000;

constexpr const char* CreateTable =
    "CREATE TABLE zdarzenia (IdZdarzenia serial PRIMARY KEY, IdRodzajZdarzenia integer,"
    " IdRodzajZdarzeniaWbudowane integer, DataCzasWystapienie timestamp, DataCzasZakonczenie timestamp,"
    " IdIdentyfikatora integer, IdPrzejazdu integer, IdCzytnika integer, Opis varchar(100))";

// The end time is written later, when the event ends: not at insert.
constexpr const char* Insert =
    "INSERT INTO zdarzenia (IdRodzajZdarzenia, IdRodzajZdarzeniaWbudowane, DataCzasWystapienie,"
    " IdIdentyfikatora, IdPrzejazdu, IdCzytnika, Opis) VALUES ($1, $2, $3, $4, $5, $6, $7)"
    " RETURNING IdZdarzenia";

struct Event {
    int rodzaj;
    int wbudowane;
    db::DateTime czas;
    int identyfikator;
    int przejazd;
    int czytnik;
    std::string opis;
};

std::vector<Event> events()
{
    std::vector<Event> out;
    const db::DateTime start = local_days{2024y / 3 / 1} + 8h;
    for (int i = 0; i < Rows; ++i)
        out.push_back({i % 40 + 1, i % 13 + 1, start + seconds{i} + microseconds{i * 37 % 1'000'000}, 1000 + i,
                       i % 7, i % 5, "Przejazd bramą " + std::to_string(i % 7) + ", czytnik " + std::to_string(i % 5)});
    return out;
}

ScratchDatabase& scratch()
{
    static ScratchDatabase database("insert");
    return database;
}

void run(PGconn* conn, const char* sql)
{
    PGresult* result = PQexec(conn, sql);
    const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
    PQclear(result);
    if (!ok)
        throw std::runtime_error(std::string(sql) + ": " + PQerrorMessage(conn));
}

// An empty table before every round, so both write into the same state.
void recreate(PGconn* conn)
{
    run(conn, "SET client_min_messages = warning");
    run(conn, "DROP TABLE IF EXISTS zdarzenia");
    run(conn, CreateTable);
}

void BM_InsertBaseline_PreparedLibpq(benchmark::State& state)
{
    if (!scratch().ready()) {
        state.SkipWithError("KANDOR_TEST_PG is not set; scripts/bench starts a PostgreSQL server and sets it");
        return;
    }
    const auto rows = events();
    PGconn* conn = PQconnectdb(scratch().conninfo().c_str());
    recreate(conn);
    PGresult* prepared = PQprepare(conn, "insert", Insert, 7, nullptr);
    if (PQresultStatus(prepared) != PGRES_COMMAND_OK)
        throw std::runtime_error(PQerrorMessage(conn));
    PQclear(prepared);

    for (auto _ : state) {
        state.PauseTiming();
        run(conn, "TRUNCATE zdarzenia RESTART IDENTITY");
        state.ResumeTiming();
        for (const Event& e : rows) {
            const std::string texts[] = {std::to_string(e.rodzaj),        std::to_string(e.wbudowane),
                                         db::formatDateTime(e.czas),      std::to_string(e.identyfikator),
                                         std::to_string(e.przejazd),      std::to_string(e.czytnik),
                                         e.opis};
            const char* values[7];
            for (int i = 0; i < 7; ++i)
                values[i] = texts[i].c_str();
            PGresult* result = PQexecPrepared(conn, "insert", 7, values, nullptr, nullptr, 0);
            if (PQresultStatus(result) != PGRES_TUPLES_OK)
                throw std::runtime_error(PQerrorMessage(conn));
            benchmark::DoNotOptimize(std::atoi(PQgetvalue(result, 0, 0)));
            PQclear(result);
        }
    }
    state.SetItemsProcessed(state.iterations() * Rows);
    PQfinish(conn);
}
BENCHMARK(BM_InsertBaseline_PreparedLibpq)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_Insert_TableAppendPost(benchmark::State& state)
{
    if (!scratch().ready()) {
        state.SkipWithError("KANDOR_TEST_PG is not set; scripts/bench starts a PostgreSQL server and sets it");
        return;
    }
    const auto rows = events();
    db::Connection connection;
    scratch().configure(connection);
    connection.open();
    recreate(connection.native());

    db::Table table(connection, "zdarzenia");
    for (auto _ : state) {
        state.PauseTiming();
        connection.execute("TRUNCATE zdarzenia RESTART IDENTITY");
        table.close();
        table.open(false);
        state.ResumeTiming();
        for (const Event& e : rows) {
            table.append();
            table.field("IdRodzajZdarzenia") = e.rodzaj;
            table.field("IdRodzajZdarzeniaWbudowane") = e.wbudowane;
            table.field("DataCzasWystapienie") = e.czas;
            table.field("IdIdentyfikatora") = e.identyfikator;
            table.field("IdPrzejazdu") = e.przejazd;
            table.field("IdCzytnika") = e.czytnik;
            table.field("Opis") = e.opis;
            table.post();
            benchmark::DoNotOptimize(table.field("IdZdarzenia").asInt());
        }
    }
    state.SetItemsProcessed(state.iterations() * Rows);
}
BENCHMARK(BM_Insert_TableAppendPost)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
