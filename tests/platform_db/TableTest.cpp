#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "tests/platform_db/DbFixture.h"

using namespace platform::db;
using namespace std::chrono;

namespace {

class TableTest : public DbFixture {
protected:
    void SetUp() override
    {
        DbFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        db.execute("CREATE TABLE adresy (IdAdresu serial PRIMARY KEY, Ulica varchar(40) NOT NULL,"
                   " Numer varchar(10), Kod integer UNIQUE,"
                   " Dodano timestamp NOT NULL DEFAULT '2001-02-03 04:05:06')");
    }

    void addRows()
    {
        db.execute("INSERT INTO adresy (Ulica, Numer, Kod) VALUES"
                   " ('Polna', '5', 10), ('polna', '7', 20), ('Leśna', NULL, 30)");
    }

    std::string streets() { return scalar("SELECT string_agg(Ulica, ',' ORDER BY IdAdresu) FROM adresy").asString(); }
};

} // namespace

TEST_F(TableTest, PostedAppendReadsBackTheSerialAndDefaults)
{
    Table table(db, "adresy");
    table.open(false);
    EXPECT_EQ(table.recordCount(), 0);
    EXPECT_EQ(table.fieldCount(), 5);
    for (int expected = 1; expected <= 2; ++expected) {
        table.append();
        EXPECT_EQ(table.state(), TableState::Insert);
        EXPECT_TRUE(table.field("IdAdresu").isNull());
        table.field("ulica") = "Polna";
        table.post();
        EXPECT_EQ(table.state(), TableState::Browse);
        EXPECT_EQ(table.field("IDADRESU").asInt(), expected);
        EXPECT_EQ(table.field("Dodano").asDateTime(), local_days{2001y / 2 / 3} + 4h + 5min + 6s);
    }
    // Opened for appending, it holds only the row posted last.
    EXPECT_EQ(table.recordCount(), 1);
    EXPECT_EQ(scalar("SELECT count(*) FROM adresy").asInt(), 2);
    EXPECT_THROW(table.field("Miasto"), std::invalid_argument);
}

TEST_F(TableTest, UniqueViolationLeavesTheRowPendingForCancel)
{
    addRows();
    Table table(db, "adresy");
    table.open(false);
    table.append();
    table.field("Ulica") = "Ogrodowa";
    table.field("Kod") = 10;
    try {
        table.post();
        FAIL() << "posted a duplicate";
    } catch (const DbError& e) {
        EXPECT_EQ(e.kind(), DbError::UniqueKeyViolation);
        EXPECT_TRUE(e.hasKind(DbError::UniqueKeyViolation));
    }
    EXPECT_EQ(table.state(), TableState::Insert);
    EXPECT_EQ(table.field("Ulica").asString(), "Ogrodowa");
    table.cancel();
    EXPECT_EQ(table.state(), TableState::Browse);

    table.append();
    table.field("Ulica") = "Ogrodowa";
    table.field("Kod") = 40;
    table.post();
    EXPECT_EQ(table.field("IdAdresu").asInt(), 5); // the failed insert used up 4
    EXPECT_EQ(streets(), "Polna,polna,Leśna,Ogrodowa");
}

TEST_F(TableTest, EditsAndDeletesRowsByKey)
{
    addRows();
    Table table(db, "adresy");
    table.open();
    ASSERT_EQ(table.recordCount(), 3);
    EXPECT_EQ(table.recNo(), 1);

    table.next();
    table.edit();
    EXPECT_EQ(table.state(), TableState::Edit);
    table.field("Ulica") = "Polna Boczna";
    table.field("Numer").clear();
    table.post();
    EXPECT_EQ(table.field("Ulica").asString(), "Polna Boczna");
    EXPECT_EQ(scalar("SELECT Ulica || coalesce(Numer, '-') FROM adresy WHERE IdAdresu = 2").asString(), "Polna Boczna-");

    // An edit given up leaves the row as it was.
    table.edit();
    table.field("Ulica") = "Zmieniona";
    table.cancel();
    EXPECT_EQ(table.field("Ulica").asString(), "Polna Boczna");

    // Assigning outside an edit is a mistake, not a silent no-op.
    EXPECT_THROW(table.field("Ulica") = "x", std::logic_error);

    table.del();
    EXPECT_EQ(table.recordCount(), 2);
    EXPECT_EQ(table.field("Ulica").asString(), "Leśna"); // the next row
    EXPECT_EQ(streets(), "Polna,Leśna");

    std::string walked;
    for (table.first(); !table.eof(); table.next())
        walked += table.field("Ulica").asString() + ";";
    EXPECT_EQ(walked, "Polna;Leśna;");

    // Moving on posts a pending row, as a dataset does.
    table.first();
    table.edit();
    table.field("Numer") = 9;
    table.next();
    EXPECT_EQ(table.state(), TableState::Browse);
    EXPECT_EQ(scalar("SELECT Numer FROM adresy WHERE IdAdresu = 1").asString(), "9");
}

TEST_F(TableTest, LocateMovesAndLookupDoesNot)
{
    addRows();
    Table table(db, "adresy");
    EXPECT_THROW(table.lookup("IdAdresu", 1, "Ulica"), std::logic_error);
    table.open();

    EXPECT_TRUE(table.locate("ulica", "polna"));
    EXPECT_EQ(table.field("Numer").asString(), "7");
    EXPECT_FALSE(table.locate("Ulica", "POLNA"));
    EXPECT_EQ(table.recNo(), 2);
    EXPECT_TRUE(table.locate("Kod", "30")); // a text for an integer column
    EXPECT_EQ(table.recNo(), 3);
    EXPECT_FALSE(table.locate("Kod", "trzydzieści"));
    EXPECT_TRUE(table.locate("Numer", Value()));
    EXPECT_EQ(table.recNo(), 3);

    // Held rows and the server answer alike.
    Table unread(db, "adresy");
    unread.open(false);
    for (Table* t : {&table, &unread}) {
        SCOPED_TRACE(t == &table ? "rows held" : "rows not read");
        t->first();
        const auto found = t->lookup("IdAdresu", 3, "Ulica; Numer;Kod");
        ASSERT_TRUE(found.has_value());
        ASSERT_EQ(found->size(), 3u);
        EXPECT_EQ((*found)[0].asString(), "Leśna");
        EXPECT_TRUE((*found)[1].isNull());
        EXPECT_EQ((*found)[2].asInt(), 30);
        EXPECT_EQ(t->lookup("idadresu", 99, "Ulica"), std::nullopt);
        EXPECT_EQ(t->lookup("IdAdresu", Value(), "Ulica"), std::nullopt);
        EXPECT_THROW(t->lookup("IdAdresu", 1, "Ulica;Miasto"), std::invalid_argument);
        EXPECT_EQ(t->recNo(), t->recordCount() == 0 ? 0 : 1);
    }
}

TEST_F(TableTest, RefreshAndRowLimit)
{
    addRows();
    Table table(db, "adresy");
    table.setRowLimit(2);
    table.open();
    EXPECT_EQ(table.recordCount(), 2);
    table.append();
    table.field("Ulica") = "Nowa";
    table.post();
    EXPECT_EQ(table.recordCount(), 2); // the oldest went
    EXPECT_EQ(table.field("Ulica").asString(), "Nowa");
    table.close();

    table.setRowLimit(0);
    table.open();
    table.locate("Ulica", "Leśna");
    db.execute("INSERT INTO adresy (IdAdresu, Ulica) VALUES (0, 'Pierwsza')");
    db.execute("UPDATE adresy SET Numer = '3a' WHERE Ulica = 'Leśna'");
    table.refresh();
    EXPECT_EQ(table.recordCount(), 5);
    EXPECT_EQ(table.field("Ulica").asString(), "Leśna");
    EXPECT_EQ(table.field("Numer").asString(), "3a");
}

TEST_F(TableTest, MissingTableAndChangedTable)
{
    Table missing(db, "brak");
    try {
        missing.open();
        FAIL() << "opened";
    } catch (const DbError& e) {
        EXPECT_EQ(e.kind(), DbError::ObjectDoesNotExist);
    }
    EXPECT_FALSE(missing.active());

    // A statement prepared before the table changed is not reused after.
    Table table(db, "adresy");
    table.open(false);
    table.append();
    table.field("Ulica") = "Polna";
    table.post();
    db.execute("ALTER TABLE adresy ALTER COLUMN Ulica TYPE varchar(60)");
    table.append();
    table.field("Ulica") = "Polna";
    table.post();
    table.close();
    table.open(false);
    table.append();
    table.field("Ulica") = std::string(50, 'x');
    table.post();
    EXPECT_EQ(table.field("Ulica").asString().size(), 50u);
    EXPECT_EQ(scalar("SELECT count(*) FROM adresy").asInt(), 3);
}
