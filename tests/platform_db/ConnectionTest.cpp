#include <gtest/gtest.h>

#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "tests/platform_db/DbFixture.h"
#include "tests/support/ServerRelay.h"

using namespace platform::db;

namespace {

class ConnectionTest : public DbFixture {
protected:
    int backendPid() { return scalar("SELECT pg_backend_pid()").asInt(); }

    // Ends the backend from another session, as an administrator or a
    // server restart would, and waits until it is gone.
    void terminate(int pid)
    {
        PGconn* admin = connect();
        const std::string sql = "SELECT pg_terminate_backend(" + std::to_string(pid) + ", 5000)";
        PGresult* result = PQexec(admin, sql.c_str());
        ASSERT_EQ(PQresultStatus(result), PGRES_TUPLES_OK) << PQerrorMessage(admin);
        ASSERT_STREQ(PQgetvalue(result, 0, 0), "t");
        PQclear(result);
    }

    int kindOf(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const DbError& e) {
            return e.kind();
        }
        return -1;
    }

    // What the ServerGone the action throws says; "" when it throws nothing
    // or another error.
    std::string serverGoneMessage(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const DbError& e) {
            if (e.kind() == DbError::ServerGone)
                return e.what();
        }
        return {};
    }

    int rows() { return scalar("SELECT count(*) FROM t").asInt(); }
};

} // namespace

TEST_F(ConnectionTest, RefusedConnectionsSayWhy)
{
    struct Case {
        const char* name;
        std::string password;
        int port;
        std::string database;
        int kind;
    };
    const Case cases[] = {
        {"wrong password", "not-" + password(), port(), database(), DbError::UserPasswordInvalid},
        {"no server on the port", password(), 1, database(), DbError::ServerGone},
        {"no such database", password(), port(), "brak_" + database(), DbError::Other},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Connection connection;
        configure(connection);
        connection.setPassword(c.password);
        connection.setPort(c.port);
        connection.setDatabase(c.database);
        try {
            connection.open();
            ADD_FAILURE() << "connected";
        } catch (const DbError& e) {
            EXPECT_EQ(e.kind(), c.kind) << e.sqlstate() << " " << e.what();
            EXPECT_EQ(std::string(e.what()).find("LOCATION"), std::string::npos) << e.what();
        }
        EXPECT_FALSE(connection.connected());
        EXPECT_EQ(kindOf([&] { connection.execute("SELECT 1"); }), DbError::ServerGone);
    }
}

TEST_F(ConnectionTest, CommitOfAFailedTransactionThrows)
{
    db.execute("CREATE TABLE t (id integer PRIMARY KEY)");
    for (const char* commit : {"COMMIT", "commit;", "END"}) {
        SCOPED_TRACE(commit);
        db.execute("BEGIN");
        db.execute("INSERT INTO t VALUES (1)");
        EXPECT_EQ(kindOf([&] { db.execute("INSERT INTO t VALUES (1)"); }), DbError::UniqueKeyViolation);
        EXPECT_TRUE(db.inTransaction());
        EXPECT_THROW(db.execute(commit), DbError);
        EXPECT_FALSE(db.inTransaction());
        EXPECT_EQ(rows(), 0);
    }
    // A rollback of it is what was asked for.
    db.execute("BEGIN");
    EXPECT_THROW(db.execute("SELECT 1/0"), DbError);
    EXPECT_EQ(db.execute("ROLLBACK"), 0);
}

TEST_F(ConnectionTest, SessionLostOutsideATransactionIsReplacedOnNextUse)
{
    db.execute("CREATE TABLE t (id serial PRIMARY KEY, opis varchar(20))");
    Table table(db, "t");
    table.open(false);
    table.append();
    table.field("opis") = "przed";
    table.post();

    const int before = backendPid();
    terminate(before);
    EXPECT_EQ(scalar("SELECT 1").asInt(), 1);
    EXPECT_NE(backendPid(), before);

    // The table's statement was prepared in the old session.
    terminate(backendPid());
    table.append();
    table.field("opis") = "po";
    table.post();
    EXPECT_EQ(table.field("id").asInt(), 2);
    EXPECT_TRUE(db.connected());
}

TEST_F(ConnectionTest, SessionLostDuringAStatementFailsThatStatementOnly)
{
    PGconn* watcher = connect();
    const int pid = backendPid();
    std::thread killer([&] {
        const std::string sql = "SELECT pg_terminate_backend(pid, 5000) FROM pg_stat_activity WHERE pid = " +
                                std::to_string(pid) + " AND wait_event = 'PgSleep'";
        for (int i = 0; i < 500; ++i) {
            PGresult* result = PQexec(watcher, sql.c_str());
            const bool done = PQntuples(result) == 1;
            PQclear(result);
            if (done)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    // Not repeated behind the caller's back: it may have had effects.
    EXPECT_EQ(kindOf([&] { db.execute("SELECT pg_sleep(30)"); }), DbError::ServerGone);
    killer.join();
    EXPECT_EQ(scalar("SELECT 2").asInt(), 2);
}

TEST_F(ConnectionTest, TransactionLostWithTheSessionIsNeverCommitted)
{
    db.execute("CREATE TABLE t (id integer PRIMARY KEY)");
    struct Case {
        const char* name;
        bool statementAfterLoss; // else the ending is what finds the loss
        const char* ending;
        bool endingThrows;
    };
    const Case cases[] = {
        {"statement, then COMMIT", true, "COMMIT", true},
        {"statement, then ROLLBACK", true, "ROLLBACK", false},
        {"COMMIT finds the loss", false, "COMMIT", true},
        {"ROLLBACK finds the loss", false, "ROLLBACK", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Connection connection;
        configure(connection);
        connection.open();
        connection.execute("BEGIN");
        connection.execute("INSERT INTO t VALUES (1)");
        Query pid(connection);
        pid.setSql("SELECT pg_backend_pid()");
        pid.open();
        terminate(pid.field(0).asInt());

        if (c.statementAfterLoss) {
            EXPECT_EQ(kindOf([&] { connection.execute("INSERT INTO t VALUES (2)"); }), DbError::ServerGone);
            EXPECT_TRUE(connection.inTransaction());
            // Still nothing runs outside the lost transaction.
            EXPECT_EQ(kindOf([&] { connection.execute("INSERT INTO t VALUES (3)"); }), DbError::ServerGone);
        }
        if (c.endingThrows)
            EXPECT_EQ(kindOf([&] { connection.execute(c.ending); }), DbError::ServerGone);
        else
            EXPECT_NO_THROW(connection.execute(c.ending));
        EXPECT_FALSE(connection.inTransaction());

        EXPECT_EQ(connection.execute("INSERT INTO t VALUES (4)"), 1);
        EXPECT_EQ(scalar("SELECT string_agg(id::text, ',') FROM t").asString(), "4");
        connection.execute("DELETE FROM t");
    }
}

TEST_F(ConnectionTest, ReconnectsAtMostOncePerInterval)
{
    const std::string right = password();
    db.setPassword("not-" + right);
    terminate(backendPid());
    // The first use tries, and learns why it failed; the next does not try.
    EXPECT_EQ(kindOf([&] { db.execute("SELECT 1"); }), DbError::UserPasswordInvalid);
    EXPECT_EQ(kindOf([&] { db.execute("SELECT 1"); }), DbError::ServerGone);

    db.setPassword(right);
    db.setReconnectInterval(std::chrono::milliseconds(0));
    EXPECT_EQ(scalar("SELECT 3").asInt(), 3);
}

// A server that will not take the session back for now (no connections
// allowed to the database, as while it is being restored) is away, not an
// error of another kind: callers keep what they would have written.
TEST_F(ConnectionTest, ARefusedReconnectIsTheServerBeingAway)
{
    db.setReconnectInterval(std::chrono::milliseconds(0));
    // The server refuses this to a session of the database itself.
    const std::string info = "host=" + host() + " port=" + std::to_string(port()) + " user=" + user() +
                             " password=" + password() + " dbname=postgres connect_timeout=10";
    std::unique_ptr<PGconn, decltype(&PQfinish)> owner(PQconnectdb(info.c_str()), &PQfinish);
    PGconn* admin = owner.get();
    ASSERT_EQ(PQstatus(admin), CONNECTION_OK) << PQerrorMessage(admin);
    const std::string name = "\"" + database() + "\"";
    auto allow = [&](bool yes) {
        const std::string sql = "ALTER DATABASE " + name + " ALLOW_CONNECTIONS " + (yes ? "true" : "false");
        PGresult* result = PQexec(admin, sql.c_str());
        ASSERT_EQ(PQresultStatus(result), PGRES_COMMAND_OK) << PQerrorMessage(admin);
        PQclear(result);
    };
    terminate(backendPid());
    allow(false);
    try {
        db.execute("SELECT 1");
        ADD_FAILURE() << "the refused session was not reported";
    } catch (const DbError& e) {
        EXPECT_EQ(e.kind(), DbError::ServerGone) << e.what();
        EXPECT_EQ(e.sqlstate(), "55000");
    }
    allow(true);
    EXPECT_EQ(scalar("SELECT 5").asInt(), 5);
}

// A server that stops answering holds no caller longer than the statement
// time-out and a grace: the session is dropped and the next statement, with
// the server back, runs on a new one. A statement the server itself cancels
// leaves the session whole.
TEST_F(ConnectionTest, NothingWaitsForASilentServerPastItsTimeOut)
{
    ServerRelay relay(host(), port());
    Connection c;
    configure(c);
    c.setHost("127.0.0.1");
    c.setPort(relay.port());
    c.setConnectTimeout(std::chrono::milliseconds(500));
    c.setReconnectInterval(std::chrono::milliseconds(0));
    c.setStatementTimeout(std::chrono::milliseconds(300));
    c.open();

    EXPECT_EQ(kindOf([&] { c.execute("SELECT pg_sleep(5)"); }), DbError::CommandAborted) << "cancelled by the server";
    EXPECT_EQ(c.execute("SELECT 1"), 1);

    relay.setMode(ServerRelay::Mode::Silent);
    const std::string silent = serverGoneMessage([&] { c.execute("SELECT 1"); });
    EXPECT_NE(silent.find("did not answer"), std::string::npos) << silent;
    EXPECT_EQ(kindOf([&] { c.execute("SELECT 1"); }), DbError::ServerGone) << "a connect to a silent server";
    relay.setMode(ServerRelay::Mode::Forward);
    EXPECT_EQ(c.execute("SELECT 1"), 1);
}

// While another connection knows the server is away, statements fail at
// once; an interrupt ends a wait that has begun.
TEST_F(ConnectionTest, AnAwayFlagFailsAtOnceAndAnInterruptEndsAWait)
{
    std::atomic<bool> away{true};
    db.setServerAway(&away);
    const std::string whileAway = serverGoneMessage([&] { db.execute("SELECT 1"); });
    EXPECT_NE(whileAway.find("not answering"), std::string::npos) << whileAway;
    away = false;
    EXPECT_EQ(db.execute("SELECT 1"), 1);

    const int fd = eventfd(0, EFD_CLOEXEC);
    db.setInterrupt(fd);
    std::thread stop([fd] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        eventfd_write(fd, 1);
    });
    EXPECT_EQ(kindOf([&] { db.execute("SELECT pg_sleep(30)"); }), DbError::ServerGone);
    stop.join();
    db.setInterrupt(-1);
    close(fd);
    EXPECT_EQ(db.execute("SELECT 1"), 1) << "a new session";
}
