#pragma once
#include <gtest/gtest.h>
#include <libpq-fe.h>

#include "tests/support/TemporaryHome.h"

#include <string>
#include <string_view>
#include <vector>

// A fresh, empty UTF8 database for one test, on the server named by
// KANDOR_TEST_PG (a libpq conninfo string without dbname; scripts/test sets
// it). The database is dropped after the test, so tests run in parallel
// without seeing each other's tables. Without KANDOR_TEST_PG the test is
// skipped.
//
// SetUp and TearDown are public so that a test can bring up a second
// database of its own next to the fixture's.
class TestDatabase : public ::testing::Test {
public:
    void SetUp() override;
    void TearDown() override;
    ~TestDatabase() override;

    // The base conninfo with " dbname=<database()>".
    const std::string& conninfo() const { return conninfo_; }
    const std::string& host() const { return host_; }
    int port() const { return port_; }
    const std::string& user() const { return user_; }
    const std::string& password() const { return password_; }
    const std::string& database() const { return database_; }

    // A new connection to this test's database, closed in TearDown. A failed
    // connection is reported as a test failure and still returned, so the
    // calls that follow fail cleanly instead of crashing.
    PGconn* connect();

private:
    void closeConnections();

    // What the code under test logs goes to a home folder of the test's own.
    TemporaryHome home_;

    std::string base_;
    std::string conninfo_;
    std::string host_;
    int port_ = 5432;
    std::string user_;
    std::string password_;
    std::string database_;
    std::vector<PGconn*> connections_;
};

// A name no other test, process or earlier run uses, for databases and for
// cluster-wide roles: prefix_<pid>_<counter>_<random>. Made of lower-case
// letters, digits and underscores, so with such a prefix it is a valid
// identifier without quoting. Keep the prefix short: identifiers are cut at
// 63 bytes.
std::string uniqueName(std::string_view prefix);
