#include "tests/support/TestDatabase.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

// Bounds the wait when the server is missing or stuck, so a broken set-up
// fails the test instead of hanging it; the conninfo may still override it.
constexpr std::string_view kConnectTimeout = "connect_timeout=10 ";

std::string quoteIdentifier(const std::string& identifier)
{
    std::string out = "\"";
    for (char c : identifier) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

// Runs one statement on the maintenance database; empty on success, the
// server's message otherwise.
std::string runOnMaintenanceDb(const std::string& base, const std::string& sql)
{
    const std::string info = std::string(kConnectTimeout) + base + " dbname=postgres";
    PGconn* conn = PQconnectdb(info.c_str());
    std::string error;
    if (PQstatus(conn) != CONNECTION_OK) {
        error = PQerrorMessage(conn);
    } else {
        PGresult* res = PQexec(conn, sql.c_str());
        if (PQresultStatus(res) != PGRES_COMMAND_OK)
            error = PQresultErrorMessage(res);
        PQclear(res);
    }
    PQfinish(conn);
    return error;
}

} // namespace

std::string uniqueName(std::string_view prefix)
{
    static std::atomic<unsigned> counter{0};
    // pid and counter keep names apart among the tests running now; the
    // random part keeps a new name off what a crashed earlier run with the
    // same pid may have left on the server.
    char tail[64];
    std::snprintf(tail, sizeof tail, "_%d_%u_%08x", static_cast<int>(getpid()),
                  counter.fetch_add(1), static_cast<unsigned>(std::random_device{}()));
    return std::string(prefix) + tail;
}

void TestDatabase::SetUp()
{
    const char* env = std::getenv("KANDOR_TEST_PG");
    if (env == nullptr || *env == '\0')
        GTEST_SKIP() << "KANDOR_TEST_PG is not set; scripts/test starts a PostgreSQL "
                        "server and sets it (e.g. \"host=127.0.0.1 port=5433 "
                        "user=postgres password=...\")";
    base_ = env;

    char* parseError = nullptr;
    PQconninfoOption* options = PQconninfoParse(base_.c_str(), &parseError);
    if (options == nullptr) {
        std::string message = parseError ? parseError : "out of memory";
        PQfreemem(parseError);
        FAIL() << "KANDOR_TEST_PG is not a valid conninfo string: " << message;
    }
    for (PQconninfoOption* o = options; o->keyword != nullptr; ++o) {
        if (o->val == nullptr)
            continue;
        const std::string_view keyword = o->keyword;
        if (keyword == "host")
            host_ = o->val;
        else if (keyword == "hostaddr" && host_.empty())
            host_ = o->val;
        else if (keyword == "port")
            port_ = std::atoi(o->val);
        else if (keyword == "user")
            user_ = o->val;
        else if (keyword == "password")
            password_ = o->val;
    }
    PQconninfoFree(options);

    const std::string name = uniqueName("kt");
    const std::string error = runOnMaintenanceDb(
        base_, "CREATE DATABASE " + quoteIdentifier(name) + " ENCODING 'UTF8' TEMPLATE template0");
    if (!error.empty())
        FAIL() << "cannot create the test database " << name << ": " << error;
    database_ = name;
    conninfo_ = base_ + " dbname=" + database_;
}

PGconn* TestDatabase::connect()
{
    const std::string info = std::string(kConnectTimeout) + conninfo_;
    PGconn* conn = PQconnectdb(info.c_str());
    connections_.push_back(conn);
    if (PQstatus(conn) != CONNECTION_OK)
        ADD_FAILURE() << "cannot connect to " << database_ << ": " << PQerrorMessage(conn);
    return conn;
}

void TestDatabase::closeConnections()
{
    for (PGconn* conn : connections_)
        PQfinish(conn);
    connections_.clear();
}

void TestDatabase::TearDown()
{
    closeConnections();
    if (database_.empty())
        return;
    // FORCE: a test that failed half-way may leave a connection of its own
    // open, and the database must go anyway.
    const std::string error =
        runOnMaintenanceDb(base_, "DROP DATABASE IF EXISTS " + quoteIdentifier(database_) + " WITH (FORCE)");
    if (!error.empty())
        ADD_FAILURE() << "cannot drop the test database " << database_ << ": " << error;
    database_.clear();
}

TestDatabase::~TestDatabase()
{
    closeConnections();
}
