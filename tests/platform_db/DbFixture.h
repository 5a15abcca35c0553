#pragma once
#include <gtest/gtest.h>

#include <string>

#include "platform/db/Connection.h"
#include "platform/db/Query.h"
#include "tests/support/TestDatabase.h"

// A fresh database with a platform::db::Connection open on it.
class DbFixture : public TestDatabase {
public:
    void SetUp() override
    {
        TestDatabase::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        configure(db);
        db.open();
    }

    void TearDown() override
    {
        db.close();
        TestDatabase::TearDown();
    }

    void configure(platform::db::Connection& connection) const
    {
        connection.setHost(host());
        connection.setPort(port());
        connection.setDatabase(database());
        connection.setUser(user());
        connection.setPassword(password());
    }

    // One value of a one-row query on the fixture's connection.
    platform::db::Value scalar(const std::string& sql)
    {
        platform::db::Query query(db);
        query.setSql(sql);
        query.open();
        return query.field(0);
    }

    platform::db::Connection db;
};
