#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "platform/db/RowStream.h"
#include "tests/platform_db/DbFixture.h"

using namespace platform::db;

namespace {

class RowStreamTest : public DbFixture {
protected:
    // Ends the fixture's session from another one and waits until it is gone.
    void terminate()
    {
        PGconn* admin = connect();
        const std::string sql =
            "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = current_database() "
            "AND pid <> pg_backend_pid()";
        PGresult* result = PQexec(admin, sql.c_str());
        ASSERT_EQ(PQresultStatus(result), PGRES_TUPLES_OK) << PQerrorMessage(admin);
        PQclear(result);
    }
};

} // namespace

// Every kind of value the loader reads, including the characters the
// stream's text form escapes, reads as the whole-result query reads it.
TEST_F(RowStreamTest, ReadsEveryValueAsAQueryDoes)
{
    db.execute("CREATE TABLE w (id serial PRIMARY KEY, tekst varchar(40), liczba bigint, flaga boolean, "
               "ulamek double precision, czas timestamp, bajty bytea)");
    db.execute(R"sql(INSERT INTO w (tekst, liczba, flaga, ulamek, czas, bajty) VALUES
        ('Łódź Żabia 7', 9000000000, true, 2.5, '2026-12-11 09:15:47.25', '\x00095c0a0dff'::bytea),
        (NULL, NULL, NULL, NULL, NULL, NULL),
        (E'tab\there\nnowa linia\\ukośnik', -1, false, -0.125, '1999-01-01', ''::bytea),
        ('\N', 0, false, 0, '2000-02-29 23:59:59', '\x5c4e'::bytea),
        ('', 1, true, 1e300, '1970-01-01', '\x09'::bytea))sql");
    const std::string select = "SELECT * FROM w ORDER BY 1";

    Query query(db);
    query.setSql(select);
    query.open();
    RowStream stream(db);
    stream.open(select);
    ASSERT_EQ(stream.fieldCount(), query.fieldCount());
    EXPECT_EQ(stream.fieldIndex("TEKST"), query.fieldIndex("tekst"));
    int rows = 0;
    for (query.first(); !query.eof(); query.next()) {
        ASSERT_TRUE(stream.next());
        ++rows;
        for (int i = 0; i < query.fieldCount(); ++i) {
            SCOPED_TRACE("row " + std::to_string(rows) + ", field " + query.fieldName(i));
            EXPECT_EQ(stream.isNull(i), query.field(i).isNull());
            EXPECT_EQ(stream.text(i), query.text(i));
            EXPECT_EQ(stream.field(i).storage(), query.field(i).storage());
        }
    }
    EXPECT_EQ(rows, 5);
    EXPECT_FALSE(stream.next());
    EXPECT_FALSE(stream.active());
    EXPECT_THROW(stream.fieldIndex("brak"), std::invalid_argument);
}

// A statement that fails, at the start or half-way, throws its own error,
// and the session goes on; so does one left unread.
TEST_F(RowStreamTest, FailuresAndEarlyEndsLeaveTheSessionUsable)
{
    RowStream stream(db);
    try {
        stream.open("SELECT * FROM nie_ma_takiej");
        FAIL() << "a missing table was read";
    } catch (const DbError& e) {
        EXPECT_EQ(e.sqlstate(), "42P01");
    }
    EXPECT_EQ(scalar("SELECT 1").asInt(), 1);

    stream.open("SELECT 10 / (3 - n) AS x FROM generate_series(1, 5) n");
    int read = 0;
    try {
        while (stream.next())
            ++read;
        FAIL() << "a division by zero half-way was not reported";
    } catch (const DbError& e) {
        EXPECT_EQ(e.sqlstate(), "22012");
    }
    EXPECT_LE(read, 2);
    EXPECT_EQ(scalar("SELECT 2").asInt(), 2);

    {
        RowStream unread(db);
        unread.open("SELECT n FROM generate_series(1, 100000) n");
        ASSERT_TRUE(unread.next());
        EXPECT_EQ(unread.field(0).asInt(), 1);
    }
    EXPECT_EQ(scalar("SELECT 3").asInt(), 3);

    // Inside a transaction the stream's failure is the transaction's.
    db.execute("BEGIN");
    stream.open("SELECT 1 / (n - n) FROM generate_series(1, 2) n");
    EXPECT_THROW(while (stream.next()) {}, DbError);
    EXPECT_THROW(db.execute("COMMIT"), DbError);
    EXPECT_FALSE(db.inTransaction());
}

TEST_F(RowStreamTest, ALostSessionFailsTheStreamAndIsRecoveredAfter)
{
    RowStream stream(db);
    stream.open("SELECT n FROM generate_series(1, 3000000) n");
    ASSERT_TRUE(stream.next());
    terminate();
    try {
        while (stream.next()) {
        }
        FAIL() << "the lost session was not reported";
    } catch (const DbError& e) {
        EXPECT_EQ(e.kind(), DbError::ServerGone) << e.what();
    }
    EXPECT_EQ(scalar("SELECT 4").asInt(), 4);
}
