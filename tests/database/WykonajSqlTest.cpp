#include <gtest/gtest.h>

#include "database/Database.h"

namespace {

TEST(TekstSql, TrimsAndMakesInsertsSkipExistingKeys) {
    struct Case {
        std::string_view name, text;
        bool insert;
        std::string_view sent;
    };
    const Case cases[] = {
        {"insert with blanks and semicolon", "  \tINSERT INTO t VALUES (1);\r\n", true,
         "INSERT INTO t VALUES (1) ON CONFLICT DO NOTHING"},
        {"insert without semicolon", "INSERT INTO t VALUES (1)", true, "INSERT INTO t VALUES (1)ON CONFLICT DO NOTHING"},
        {"any mix of cases", "iNsErT into t values (2)", true, "iNsErT into t values (2)ON CONFLICT DO NOTHING"},
        {"an update is sent as it is", "UPDATE t SET a = 1;", true, "UPDATE t SET a = 1;"},
        {"insert followed by a tab is no insert", "INSERT\tINTO t VALUES (1)", true, "INSERT\tINTO t VALUES (1)"},
        {"without the flag nothing is added", " INSERT INTO t VALUES (1); ", false, "INSERT INTO t VALUES (1);"},
        {"control characters trimmed", "\x01\x1f SELECT 1 \x7f", false, "SELECT 1 \x7f"},
        {"Polish letters at the end stay", "SELECT 'ż'", false, "SELECT 'ż'"},
        {"empty after trimming", " \r\n", true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TekstSql(c.text, c.insert), c.sent);
    }
}

} // namespace
