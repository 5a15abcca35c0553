#include "tests/support/TestDatabase.h"

#include <gmock/gmock.h>
#include <libpq-fe.h>

#include <optional>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

// The first column of the first row, or nullopt for SQL NULL; fails the test
// when the statement fails.
std::optional<std::string> scalar(PGconn* conn, const std::string& sql,
                                  const std::vector<std::string>& params = {})
{
    std::vector<const char*> values;
    for (const auto& p : params)
        values.push_back(p.c_str());
    PGresult* res = PQexecParams(conn, sql.c_str(), static_cast<int>(values.size()), nullptr,
                                 values.data(), nullptr, nullptr, 0);
    std::optional<std::string> out;
    const ExecStatusType status = PQresultStatus(res);
    if (status == PGRES_TUPLES_OK && PQntuples(res) > 0) {
        if (!PQgetisnull(res, 0, 0))
            out = PQgetvalue(res, 0, 0);
    } else if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
        ADD_FAILURE() << sql << ": " << PQresultErrorMessage(res);
    }
    PQclear(res);
    return out;
}

// A second database next to the fixture's own, as another test would get.
class OtherTestDatabase : public TestDatabase {
    void TestBody() override {}
};

} // namespace

class TestDatabaseTest : public TestDatabase {};

TEST_F(TestDatabaseTest, EachTestGetsItsOwnDatabaseDroppedAfter)
{
    PGconn* mine = connect();
    scalar(mine, "CREATE TABLE brama (id integer primary key)");
    scalar(mine, "INSERT INTO brama VALUES (1)");

    std::string otherName;
    {
        OtherTestDatabase other;
        other.SetUp();
        ASSERT_FALSE(other.database().empty());
        otherName = other.database();
        EXPECT_NE(otherName, database());

        PGconn* theirs = other.connect();
        EXPECT_EQ(scalar(theirs, "SELECT current_database()"), otherName);
        EXPECT_EQ(scalar(theirs, "SELECT to_regclass('brama')::text"), std::nullopt);
        scalar(theirs, "CREATE TABLE brama (id integer primary key)");
        EXPECT_EQ(scalar(theirs, "SELECT count(*) FROM brama"), "0"s);
        other.TearDown();
    }

    EXPECT_EQ(scalar(mine, "SELECT count(*) FROM brama"), "1"s);
    EXPECT_EQ(scalar(mine, "SELECT count(*) FROM pg_database WHERE datname = $1", {otherName}),
              "0"s);
}

TEST_F(TestDatabaseTest, DatabaseIsUtf8AndKeepsPolishText)
{
    PGconn* conn = connect();
    ASSERT_EQ(PQsetClientEncoding(conn, "UTF8"), 0);
    EXPECT_EQ(scalar(conn, "SELECT pg_encoding_to_char(encoding) FROM pg_database "
                           "WHERE datname = current_database()"),
              "UTF8"s);

    const std::string text = "Zażółć gęślą jaźń";
    scalar(conn, "CREATE TABLE napis (tekst varchar(17))");
    scalar(conn, "INSERT INTO napis VALUES ($1)", {text});
    EXPECT_EQ(scalar(conn, "SELECT tekst FROM napis"), text);
    // Lengths count characters, not bytes: fixed-length text fields rely on it.
    EXPECT_EQ(scalar(conn, "SELECT length(tekst) FROM napis"), "17"s);
    EXPECT_EQ(scalar(conn, "SELECT octet_length(tekst) FROM napis"), "26"s);
    EXPECT_EQ(scalar(conn, "SELECT left(tekst, 4) FROM napis"), "Zażó"s);
}

TEST_F(TestDatabaseTest, ServerChecksPasswordsOverTcp)
{
    PGconn* conn = connect();
    // Connected over TCP, so the host rules of the server applied.
    EXPECT_NE(scalar(conn, "SELECT inet_server_addr()::text"), std::nullopt);
    const auto stored = scalar(conn, "SELECT rolpassword FROM pg_authid WHERE rolname = $1", {user()});
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->rfind("SCRAM-SHA-256$", 0), 0u) << *stored;

    const std::string wrong = "host=" + host() + " port=" + std::to_string(port()) +
                              " user=" + user() + " password=" + password() +
                              "x dbname=" + database() + " connect_timeout=10";
    PGconn* refused = PQconnectdb(wrong.c_str());
    EXPECT_EQ(PQstatus(refused), CONNECTION_BAD);
    EXPECT_THAT(std::string(PQerrorMessage(refused)),
                ::testing::HasSubstr("password authentication failed"));
    PQfinish(refused);
}
