// 10,000 event rows inserted one by one, each in its own (autocommit)
// transaction as the event log writes them: through one prepared libpq
// statement as the baseline, and through Table (append, set fields, post,
// read back the serial), which is how the desk writes them.
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

// A database of its own on the server named by KANDOR_TEST_PG, dropped when
// the program ends.
class ScratchDatabase {
public:
    ScratchDatabase()
    {
        const char* env = std::getenv("KANDOR_TEST_PG");
        if (env == nullptr || *env == '\0')
            return;
        base_ = env;
        name_ = "kb_insert_" + std::to_string(getpid()) + "_" + std::to_string(std::random_device{}() % 100000);
        admin("CREATE DATABASE " + name_ + " ENCODING 'UTF8' TEMPLATE template0");

        char* error = nullptr;
        PQconninfoOption* options = PQconninfoParse(base_.c_str(), &error);
        if (options == nullptr) {
            PQfreemem(error);
            throw std::runtime_error("KANDOR_TEST_PG is not a conninfo string");
        }
        for (PQconninfoOption* o = options; o->keyword != nullptr; ++o) {
            if (o->val == nullptr)
                continue;
            const std::string key = o->keyword;
            if (key == "host")
                host_ = o->val;
            else if (key == "port")
                port_ = std::atoi(o->val);
            else if (key == "user")
                user_ = o->val;
            else if (key == "password")
                password_ = o->val;
        }
        PQconninfoFree(options);
        ready_ = true;
    }

    ~ScratchDatabase()
    {
        if (ready_)
            admin("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
    }

    bool ready() const { return ready_; }
    std::string conninfo() const { return base_ + " dbname=" + name_; }

    void configure(db::Connection& connection) const
    {
        connection.setHost(host_);
        connection.setPort(port_);
        connection.setDatabase(name_);
        connection.setUser(user_);
        connection.setPassword(password_);
    }

private:
    void admin(const std::string& sql) const
    {
        PGconn* conn = PQconnectdb((base_ + " dbname=postgres").c_str());
        PGresult* result = PQexec(conn, sql.c_str());
        const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
        const std::string message = PQerrorMessage(conn);
        PQclear(result);
        PQfinish(conn);
        if (!ok)
            throw std::runtime_error(sql + ": " + message);
    }

    std::string base_;
    std::string name_;
    std::string host_;
    int port_ = 0;
    std::string user_;
    std::string password_;
    bool ready_ = false;
};

ScratchDatabase& scratch()
{
    static ScratchDatabase database;
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
BENCHMARK(BM_InsertBaseline_PreparedLibpq)->Unit(benchmark::kMillisecond)->Iterations(5);

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
BENCHMARK(BM_Insert_TableAppendPost)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
