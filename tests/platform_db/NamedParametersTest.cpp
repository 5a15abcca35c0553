#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/db/NamedParameters.h"

using platform::db::rewriteNamedParameters;

TEST(NamedParameters, RewritesNamesAndLeavesQuotedTextCommentsAndCasts)
{
    struct Case {
        std::string_view name;
        std::string_view in;
        std::string_view out;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"numbered in order of first use", "SELECT * FROM t WHERE a = :A AND b = :b", "SELECT * FROM t WHERE a = $1 AND b = $2",
         {"A", "b"}},
        {"repeated name in any case keeps its number", "WHERE a = :Id OR b = :ID OR c = :x OR d = :id",
         "WHERE a = $1 OR b = $1 OR c = $2 OR d = $1", {"Id", "x"}},
        {"name at the end of the text", "DELETE FROM t WHERE id=:id", "DELETE FROM t WHERE id=$1", {"id"}},
        {"digits and underscores", "VALUES (:id_2, :_x9,:a1b)", "VALUES ($1, $2,$3)", {"id_2", "_x9", "a1b"}},
        {"casts", "SELECT :v::integer, x::text, :w ::date", "SELECT $1::integer, x::text, $2 ::date", {"v", "w"}},
        {"quoted text with doubled quotes", "SELECT ':no', 'it'':s :no', :yes", "SELECT ':no', 'it'':s :no', $1",
         {"yes"}},
        {"backslash escapes only in E'' text", R"(SELECT E'a\' :no', 'b\', :yes)", R"(SELECT E'a\' :no', 'b\', $1)",
         {"yes"}},
        {"quoted identifiers", R"(SELECT "a:b", "x"":y" FROM t WHERE c = :p)",
         R"(SELECT "a:b", "x"":y" FROM t WHERE c = $1)", {"p"}},
        {"dollar quotes", "SELECT $$ :no $$, $fn$ :no $$ still :no $fn$, :yes",
         "SELECT $$ :no $$, $fn$ :no $$ still :no $fn$, $1", {"yes"}},
        {"a $ inside a name opens no quote", "SELECT col$1, :p FROM t", "SELECT col$1, $1 FROM t", {"p"}},
        {"line comment", "SELECT 1 -- :no\n, :yes", "SELECT 1 -- :no\n, $1", {"yes"}},
        {"nested block comment", "SELECT /* a /* :no */ :no */ :yes", "SELECT /* a /* :no */ :no */ $1", {"yes"}},
        {"colon without a name after it", "SELECT a[1:2], x := 1, ': ', :9, :", "SELECT a[1:2], x := 1, ': ', :9, :",
         {}},
        {"UTF-8 text around", "UPDATE t SET n = 'Zażółć :no', m = :nazwa -- gęś :no", "UPDATE t SET n = 'Zażółć :no', m = $1 -- gęś :no",
         {"nazwa"}},
        {"unterminated quote swallows the rest", "SELECT 'abc :no", "SELECT 'abc :no", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = rewriteNamedParameters(c.in);
        EXPECT_EQ(result.sql, c.out);
        EXPECT_EQ(result.names, c.names);
    }
}
