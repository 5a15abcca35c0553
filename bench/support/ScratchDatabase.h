#pragma once
#include <libpq-fe.h>
#include <unistd.h>

#include <cstdlib>
#include <random>
#include <stdexcept>
#include <string>

#include "database/SkryptBazy.h"
#include "platform/db/Connection.h"

// A database of its own for one benchmark program, on the server named by
// KANDOR_TEST_PG, dropped when the program ends; empty, or with the desk's
// tables as a new installation has them.
class ScratchDatabase {
public:
    enum class Schema { Empty, Desk };

    explicit ScratchDatabase(const std::string& prefix, Schema schema = Schema::Empty)
    {
        const char* env = std::getenv("KANDOR_TEST_PG");
        if (env == nullptr || *env == '\0')
            return;
        base_ = env;
        name_ = "kb_" + prefix + "_" + std::to_string(getpid()) + "_" + std::to_string(std::random_device{}() % 100000);
        admin("CREATE DATABASE " + name_ + " ENCODING 'UTF8' TEMPLATE template0");

        char* error = nullptr;
        PQconninfoOption* options = PQconninfoParse(base_.c_str(), &error);
        if (options == nullptr) {
            PQfreemem(error);
            throw std::runtime_error("KANDOR_TEST_PG is not a conninfo string");
        }
        for (PQconninfoOption* o = options; o->keyword != nullptr; ++o) {
            if (o->val == nullptr)
                continue;
            const std::string key = o->keyword;
            if (key == "host")
                host_ = o->val;
            else if (key == "port")
                port_ = std::atoi(o->val);
            else if (key == "user")
                user_ = o->val;
            else if (key == "password")
                password_ = o->val;
        }
        PQconninfoFree(options);
        if (schema == Schema::Desk) {
            try {
                createDeskSchema();
            } catch (...) {
                admin("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
                throw;
            }
        }
        ready_ = true;
    }

    ~ScratchDatabase()
    {
        if (ready_)
            admin("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
    }

    bool ready() const { return ready_; }
    std::string conninfo() const { return base_ + " dbname=" + name_; }

    void configure(platform::db::Connection& connection) const
    {
        connection.setHost(host_);
        connection.setPort(port_);
        connection.setDatabase(name_);
        connection.setUser(user_);
        connection.setPassword(password_);
    }

private:
    void createDeskSchema() const
    {
        PGconn* conn = PQconnectdb(conninfo().c_str());
        std::string error;
        for (const char* sql : SkryptBazy) {
            PGresult* result = PQexec(conn, sql);
            if (PQresultStatus(result) != PGRES_COMMAND_OK)
                error = std::string(sql) + ": " + PQerrorMessage(conn);
            PQclear(result);
            if (!error.empty())
                break;
        }
        PQfinish(conn);
        if (!error.empty())
            throw std::runtime_error(error);
    }

    void admin(const std::string& sql) const
    {
        PGconn* conn = PQconnectdb((base_ + " dbname=postgres").c_str());
        PGresult* result = PQexec(conn, sql.c_str());
        const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
        const std::string message = PQerrorMessage(conn);
        PQclear(result);
        PQfinish(conn);
        if (!ok)
            throw std::runtime_error(sql + ": " + message);
    }

    std::string base_;
    std::string name_;
    std::string host_;
    int port_ = 0;
    std::string user_;
    std::string password_;
    bool ready_ = false;
};

