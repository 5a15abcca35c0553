#pragma once
#include "tests/support/TestDatabase.h"

// A fresh database with the data module DM connected to it; with the schema
// built when the test asks for it.
class TestDataModule : public TestDatabase {
public:
    void SetUp() override;
    void TearDown() override;

    // The schema at its current step, with the default rows.
    void createSchema();
    // One value of a query on a connection of its own, as text; "" for NULL;
    // once what the data module's writer was handed is written.
    std::string scalar(const std::string& sql);
    // The same at once, whatever the writer still holds.
    std::string scalarNow(const std::string& sql);
    // Runs a statement on a connection of its own; fails the test on error.
    void exec(const std::string& sql);

private:
    PGconn* side();
    PGconn* side_ = nullptr;
};

// A fresh database with the schema built and DM connected.
class TestSchema : public TestDataModule {
public:
    void SetUp() override;
};
