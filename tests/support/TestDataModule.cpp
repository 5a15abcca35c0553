#include "tests/support/TestDataModule.h"

#include "database/Database.h"
#include "database/TDM.h"

void TestDataModule::SetUp() {
    TestDatabase::SetUp();
    if (IsSkipped())
        return;
    DM = new TDM;
    DM->FDConnection.setHost(host());
    DM->FDConnection.setPort(port());
    DM->FDConnection.setDatabase(database());
    DM->FDConnection.setUser(user());
    DM->FDConnection.setPassword(password());
    DM->FDConnection.open();
}

PGconn* TestDataModule::side() {
    if (!side_)
        side_ = connect();
    return side_;
}

void TestDataModule::TearDown() {
    side_ = nullptr; // closed with the fixture's other connections
    delete DM;
    DM = nullptr;
    TestDatabase::TearDown();
}

void TestDataModule::createSchema() { ASSERT_TRUE(UtworzBaze()); }

std::string TestDataModule::scalar(const std::string& sql) {
    if (DM)
        EXPECT_TRUE(DM->Pisarz.Oproznij(std::chrono::seconds(30))) << "the writer still holds writes";
    return scalarNow(sql);
}

std::string TestDataModule::scalarNow(const std::string& sql) {
    PGconn* conn = side();
    PGresult* result = PQexec(conn, sql.c_str());
    std::string value;
    if (PQresultStatus(result) != PGRES_TUPLES_OK)
        ADD_FAILURE() << sql << ": " << PQerrorMessage(conn);
    else if (PQntuples(result) > 0 && !PQgetisnull(result, 0, 0))
        value = PQgetvalue(result, 0, 0);
    PQclear(result);
    return value;
}

void TestDataModule::exec(const std::string& sql) {
    PGconn* conn = side();
    PGresult* result = PQexec(conn, sql.c_str());
    const auto status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        ADD_FAILURE() << sql << ": " << PQerrorMessage(conn);
    PQclear(result);
}

void TestSchema::SetUp() {
    TestDataModule::SetUp();
    if (!IsSkipped() && !HasFatalFailure())
        createSchema();
}
