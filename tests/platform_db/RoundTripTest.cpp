#include <gtest/gtest.h>

#include <string>

#include "platform/db/Command.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "tests/platform_db/DbFixture.h"

using namespace platform::db;
using namespace std::chrono;

namespace {

class RoundTrip : public DbFixture {
protected:
    void SetUp() override
    {
        DbFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        db.execute("CREATE TABLE wartosci (id serial PRIMARY KEY, i integer, s smallint, b bigint, f double precision,"
                   " l boolean, t varchar(40), krotki varchar(5), czas timestamp, dzien date, dane bytea)");
    }

    // Every field as the row written by the tests holds it.
    void expectRow(Query& query) const
    {
        EXPECT_EQ(query.field("i").asInt(), -2147483647 - 1);
        EXPECT_EQ(query.field("s").asInt(), -32768);
        EXPECT_EQ(query.field("b").asInt64(), 9007199254740993);
        EXPECT_EQ(query.field("f").asDouble(), 0.1);
        EXPECT_TRUE(query.field("l").asBool());
        EXPECT_EQ(query.field("t").asString(), polish);
        EXPECT_EQ(query.field("czas").asDateTime(), time);
        EXPECT_EQ(query.field("dzien").asDateTime(), local_days{2024y / 2 / 29});
        EXPECT_EQ(query.field("dane").type(), Value::Type::Bytes);
        EXPECT_EQ(query.field("dane").asBytes(), bytes);
    }

    const Bytes bytes{0x00, 0x01, 0x00, 0xff, '\\', 'x', 0x00};
    const DateTime time = local_days{2024y / 2 / 29} + 13h + 45min + 1s + 123us;
    const std::string polish = "Zażółć gęślą jaźń";
};

} // namespace

TEST_F(RoundTrip, ParametersAndFieldsKeepEveryColumnType)
{
    Query insert(db);
    insert.setSql("INSERT INTO wartosci (i, s, b, f, l, t, czas, dzien, dane)"
                  " VALUES (:i, :s, :b, :f, :l, :t, :czas, :dzien, :dane) RETURNING id");
    insert.param("i") = -2147483647 - 1;
    insert.param("s") = -32768;
    insert.param("b") = std::int64_t{9007199254740993}; // not a double
    insert.param("f") = 0.1;
    insert.param("l") = true;
    insert.param("t") = polish;
    insert.param("czas") = time;
    insert.param("dzien") = time; // the date of it
    insert.param("dane") = bytes;
    insert.open();
    const int id = insert.field("id").asInt();

    Query read(db);
    read.setSql("SELECT * FROM wartosci WHERE id = :id");
    read.param("id") = id;
    read.open();
    ASSERT_EQ(read.recordCount(), 1);
    expectRow(read);
    EXPECT_EQ(scalar("SELECT length(dane) FROM wartosci").asInt(), 7);
    EXPECT_EQ(scalar("SELECT char_length(t) FROM wartosci").asInt(), 17);

    // The same row written through a table comes back the same.
    Table table(db, "wartosci");
    table.open(false);
    table.append();
    table.field("i") = -2147483647 - 1;
    table.field("s") = -32768;
    table.field("b") = std::int64_t{9007199254740993};
    table.field("f") = 0.1;
    table.field("l") = true;
    table.field("t") = polish;
    table.field("czas") = time;
    table.field("dzien") = local_days{2024y / 2 / 29} + 23h;
    table.field("dane") = bytes;
    table.post();
    read.param("id") = table.field("id").asInt();
    read.open();
    expectRow(read);
}

TEST_F(RoundTrip, NullsReadAsZeroEmptyAndFalse)
{
    db.execute("INSERT INTO wartosci DEFAULT VALUES");
    Query read(db);
    read.setSql("SELECT * FROM wartosci");
    read.open();
    for (const char* name : {"i", "s", "b", "f", "l", "t", "czas", "dzien", "dane"}) {
        SCOPED_TRACE(name);
        const Value value = read.field(name);
        EXPECT_TRUE(value.isNull());
        EXPECT_EQ(value.asInt(), 0);
        EXPECT_EQ(value.asString(), "");
        EXPECT_FALSE(value.asBool());
        EXPECT_TRUE(value.asBytes().empty());
    }

    Query parameter(db);
    parameter.setSql("SELECT :a::integer IS NULL AS empty");
    parameter.param("a") = Value();
    parameter.open();
    EXPECT_TRUE(parameter.field("empty").asBool());
}

TEST_F(RoundTrip, UntypedParametersTakeTheTypeTheServerNeeds)
{
    Query query(db);
    query.setSql("SELECT :a + 1 AS n, :d::date - DATE '2024-01-01' AS days, :t || 'x' AS t");
    query.param("a") = 41;
    query.param("d") = "2024-01-31";
    query.param("t") = 5;
    query.open();
    EXPECT_EQ(query.field("n").asInt(), 42);
    EXPECT_EQ(query.field("n").asString(), "42");
    EXPECT_EQ(query.field("days").asInt(), 30);
    EXPECT_EQ(query.field("t").asString(), "5x");
}

TEST_F(RoundTrip, TableCutsTextToTheColumnWidthAtACharacter)
{
    Table table(db, "wartosci");
    table.open(false);
    table.append();
    table.field("krotki") = polish;
    EXPECT_EQ(table.field("krotki").asString(), "Zażół");
    table.post();
    EXPECT_EQ(scalar("SELECT krotki FROM wartosci").asString(), "Zażół");

    // A query sends what it is given; the server refuses what does not fit.
    Query query(db);
    query.setSql("INSERT INTO wartosci (krotki) VALUES (:k)");
    query.param("k") = polish;
    EXPECT_THROW(query.execSql(), DbError);
}
