#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/db/Command.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "tests/platform_db/DbFixture.h"

using namespace platform::db;

using QueryTest = DbFixture;

TEST_F(QueryTest, WalksRowsAndNamesFieldsInAnyCase)
{
    Query query(db);
    query.setSql("SELECT n AS \"IdBramy\", 'b' || n AS nazwa FROM generate_series(1, 3) n ORDER BY n");
    query.open();
    EXPECT_TRUE(query.active());
    EXPECT_EQ(query.recordCount(), 3);
    EXPECT_EQ(query.fieldCount(), 2);
    EXPECT_EQ(query.fieldName(0), "IdBramy");
    std::string seen;
    for (query.first(); !query.eof(); query.next())
        seen += query.field("idbramy").asString() + query.field("NAZWA").asString() + ";";
    EXPECT_EQ(seen, "1b1;2b2;3b3;");
    EXPECT_EQ(query.recNo(), 3); // eof stays on the last row

    EXPECT_THROW(query.field("IdBramyX"), std::invalid_argument);
    EXPECT_THROW(query.param("x"), std::invalid_argument);

    query.setSql("SELECT 1 WHERE false");
    query.open();
    EXPECT_TRUE(query.eof());
    EXPECT_TRUE(query.field(0).isNull());

    query.close();
    EXPECT_FALSE(query.active());
}

TEST_F(QueryTest, ExecutesWithParametersAndRefusesOnesNeverSet)
{
    db.execute("CREATE TABLE bramy (idbramy serial PRIMARY KEY, nazwa varchar(40))");
    Query query(db);
    query.setSql("INSERT INTO bramy (nazwa) SELECT :prefix || n FROM generate_series(1, :count) n");
    query.param("prefix") = "Brama ";
    query.param("COUNT") = 4;
    EXPECT_EQ(query.execSql(), 4);

    // New text, same name: the value stays.
    query.setSql("UPDATE bramy SET nazwa = :Prefix || idbramy WHERE idbramy > :od");
    query.param("od") = 2;
    EXPECT_EQ(query.execSql(), 2);
    EXPECT_EQ(scalar("SELECT nazwa FROM bramy WHERE idbramy = 4").asString(), "Brama 4");

    // A forgotten parameter is refused, not sent as NULL.
    query.setSql("DELETE FROM bramy WHERE idbramy = :id OR nazwa = :nazwa");
    query.param("id") = 1;
    EXPECT_THROW(query.execSql(), std::invalid_argument);
    EXPECT_EQ(scalar("SELECT count(*) FROM bramy").asInt(), 4);

    // open() is for rows; the statement has run all the same.
    query.setSql("DELETE FROM bramy WHERE idbramy = 1");
    EXPECT_THROW(query.open(), std::logic_error);
    EXPECT_EQ(scalar("SELECT count(*) FROM bramy").asInt(), 3);
}

TEST_F(QueryTest, CommandRunsAnyTextWithoutParametersAndOneStatementWithThem)
{
    Command command(db);
    command.setText("CREATE TABLE t (id integer PRIMARY KEY, opis text);"
                    " INSERT INTO t VALUES (1, 'a:b'), (2, $$:x$$);"
                    " CREATE FUNCTION f() RETURNS integer AS $$ SELECT 7 $$ LANGUAGE sql");
    command.execute();
    EXPECT_EQ(scalar("SELECT f() + count(*) FROM t").asInt(), 9);

    command.setText("UPDATE t SET opis = :opis WHERE id >= :id");
    command.param("opis") = "nowy";
    command.param("id") = 1;
    EXPECT_EQ(command.execute(), 2);
}

TEST_F(QueryTest, ServerErrorsCarryTheirKind)
{
    db.execute("CREATE TABLE rodzic (id integer PRIMARY KEY);"
               " CREATE TABLE dziecko (id integer PRIMARY KEY, rodzic integer REFERENCES rodzic);"
               " INSERT INTO rodzic VALUES (1)");
    struct Case {
        const char* name;
        const char* sql;
        const char* sqlstate;
        int kind;
    };
    const Case cases[] = {
        {"unique key", "INSERT INTO rodzic VALUES (1)", "23505", DbError::UniqueKeyViolation},
        {"foreign key", "INSERT INTO dziecko VALUES (1, 2)", "23503", DbError::ForeignKeyViolation},
        {"missing table", "SELECT * FROM brak", "42P01", DbError::ObjectDoesNotExist},
        {"missing column", "SELECT brak FROM rodzic", "42703", DbError::ObjectDoesNotExist},
        {"missing function", "SELECT brak(1)", "42883", DbError::ObjectDoesNotExist},
        {"statement timeout", "SET statement_timeout = 20; SELECT pg_sleep(5)", "57014", DbError::CommandAborted},
        {"not null", "INSERT INTO rodzic VALUES (NULL)", "23502", DbError::Other},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            db.execute(c.sql);
            ADD_FAILURE() << "no error";
        } catch (const DbError& e) {
            EXPECT_EQ(e.sqlstate(), c.sqlstate);
            EXPECT_EQ(e.kind(), c.kind);
            EXPECT_FALSE(std::string(e.what()).empty());
        }
    }
    db.execute("SET statement_timeout = 0");

    // A row another session holds.
    PGconn* other = connect();
    PQclear(PQexec(other, "BEGIN; SELECT * FROM rodzic FOR UPDATE"));
    try {
        db.execute("SELECT * FROM rodzic FOR UPDATE NOWAIT");
        ADD_FAILURE() << "no error";
    } catch (const DbError& e) {
        EXPECT_EQ(e.kind(), DbError::RecordLocked);
    }
    EXPECT_EQ(scalar("SELECT 5").asInt(), 5);
}
