#include "tests/database/Catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>
#include <tuple>

namespace {

// Within a table: the table line, its columns, its keys, its indexes.
enum Kind { kTable, kColumn, kPrimary, kUnique, kOtherConstraint, kIndex };

struct Entry {
    std::string table;
    Kind kind;
    int position;     // columns only
    std::string name; // keys and indexes
    std::string line;

    bool operator<(const Entry& other) const
    {
        return std::tie(table, kind, position, name) <
               std::tie(other.table, other.kind, other.position, other.name);
    }
};

// Rows of a catalogue query, each as its fields' texts (SQL NULL as "").
std::vector<std::vector<std::string>> rows(PGconn* conn, const char* sql)
{
    std::vector<std::vector<std::string>> out;
    PGresult* res = PQexec(conn, sql);
    if (PQresultStatus(res) != PGRES_TUPLES_OK) {
        ADD_FAILURE() << "catalogue query failed: " << PQresultErrorMessage(res) << sql;
        PQclear(res);
        return out;
    }
    for (int r = 0; r < PQntuples(res); ++r) {
        std::vector<std::string> row;
        for (int f = 0; f < PQnfields(res); ++f)
            row.emplace_back(PQgetvalue(res, r, f));
        out.push_back(std::move(row));
    }
    PQclear(res);
    return out;
}

constexpr const char* kTables = R"(
    SELECT c.relname
    FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace
    WHERE n.nspname = 'public' AND c.relkind IN ('r', 'p'))";

// The position counts live columns only, so a column dropped by a migration
// does not leave a gap.
constexpr const char* kColumns = R"(
    SELECT c.relname,
           row_number() OVER (PARTITION BY c.oid ORDER BY a.attnum),
           a.attname,
           format_type(a.atttypid, a.atttypmod),
           a.attnotnull,
           coalesce(pg_get_expr(d.adbin, d.adrelid), '')
    FROM pg_attribute a
    JOIN pg_class c ON c.oid = a.attrelid
    JOIN pg_namespace n ON n.oid = c.relnamespace
    LEFT JOIN pg_attrdef d ON d.adrelid = a.attrelid AND d.adnum = a.attnum
    WHERE n.nspname = 'public' AND c.relkind IN ('r', 'p')
      AND a.attnum > 0 AND NOT a.attisdropped)";

constexpr const char* kConstraints = R"(
    SELECT c.relname, con.contype, con.conname,
           coalesce((SELECT string_agg(a.attname, ', ' ORDER BY k.ord)
                     FROM unnest(con.conkey) WITH ORDINALITY AS k(attnum, ord)
                     JOIN pg_attribute a ON a.attrelid = con.conrelid AND a.attnum = k.attnum), ''),
           pg_get_constraintdef(con.oid)
    FROM pg_constraint con
    JOIN pg_class c ON c.oid = con.conrelid
    JOIN pg_namespace n ON n.oid = c.relnamespace
    WHERE n.nspname = 'public')";

constexpr const char* kIndexes = R"(
    SELECT t.relname, i.relname,
           (SELECT string_agg(pg_get_indexdef(ix.indexrelid, k, true), ', ' ORDER BY k)
            FROM generate_series(1, ix.indnkeyatts) AS k),
           ix.indisunique, am.amname
    FROM pg_index ix
    JOIN pg_class i ON i.oid = ix.indexrelid
    JOIN pg_class t ON t.oid = ix.indrelid
    JOIN pg_namespace n ON n.oid = t.relnamespace
    JOIN pg_am am ON am.oid = i.relam
    WHERE n.nspname = 'public'
      AND NOT EXISTS (SELECT 1 FROM pg_constraint con
                      WHERE con.conindid = ix.indexrelid AND con.contype IN ('p', 'u', 'x')))";

} // namespace

std::vector<std::string> catalogueListing(PGconn* conn)
{
    std::vector<Entry> entries;

    for (auto& r : rows(conn, kTables))
        entries.push_back({r[0], kTable, 0, "", "table " + r[0]});

    for (auto& r : rows(conn, kColumns)) {
        std::string line = "column " + r[0] + " " + r[1] + " " + r[2] + " " + r[3];
        if (r[4] == "t")
            line += " not null";
        if (r[5].starts_with("nextval("))
            line += " default nextval";
        else if (!r[5].empty())
            line += " default " + r[5];
        entries.push_back({r[0], kColumn, std::stoi(r[1]), r[2], line});
    }

    for (auto& r : rows(conn, kConstraints)) {
        if (r[1] == "p")
            entries.push_back({r[0], kPrimary, 0, r[2], "primary " + r[0] + " " + r[2] + " (" + r[3] + ")"});
        else if (r[1] == "u")
            entries.push_back({r[0], kUnique, 0, r[2], "unique " + r[0] + " " + r[2] + " (" + r[3] + ")"});
        else
            entries.push_back({r[0], kOtherConstraint, 0, r[2],
                               "constraint " + r[0] + " " + r[2] + " " + r[4]});
    }

    for (auto& r : rows(conn, kIndexes)) {
        std::string line = "index " + r[0] + " " + r[1] + " (" + r[2] + ")";
        if (r[3] == "t")
            line += " unique";
        if (r[4] != "btree")
            line += " using " + r[4];
        entries.push_back({r[0], kIndex, 0, r[1], line});
    }

    std::sort(entries.begin(), entries.end());
    std::vector<std::string> out;
    out.reserve(entries.size());
    for (auto& e : entries)
        out.push_back(std::move(e.line));
    return out;
}
