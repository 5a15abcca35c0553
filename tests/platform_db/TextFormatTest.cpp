#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/DbError.h"
#include "platform/db/TextFormat.h"

using namespace platform::db;
using namespace std::literals;

// A row of COPY's text form as the server streams it: tab-separated fields,
// \N for NULL, backslash escapes undone; a row with another number of fields
// than the columns fails the statement.
TEST(SplitCopyRow, CutsARowIntoItsFieldsWithEscapesUndone)
{
    struct Case {
        std::string_view name;
        std::string_view row;
        std::size_t columns;
        std::vector<std::optional<std::string>> fields; // nullopt: NULL
        bool fails = false;
    };
    const Case cases[] = {
        {"plain fields", "1\tabc\t", 3, {"1", "abc", ""}},
        {"NULL and an escaped \\N", "\\N\t\\\\N", 2, {std::nullopt, "\\N"}},
        {"tab, line feed and backslash", "a\\tb\\nc\\\\d", 1, {"a\tb\nc\\d"}},
        {"octal and hex escapes", "\\101\\x4a\\x\\7", 1, {"AJx\x07"s}},
        {"a backslash at the end stays", "ab\\", 1, {"ab\\"}},
        {"no columns, an empty line", "", 0, {}},
        {"fewer fields than columns", "1\t2", 3, {}, true},
        {"more fields than columns", "1\t2\t3", 2, {}, true},
        {"a field where none is expected", "x", 0, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<text_format::CopyField> fields(c.columns);
        std::string unescaped;
        if (c.fails) {
            EXPECT_THROW(text_format::splitCopyRow(c.row, fields, unescaped), DbError);
            continue;
        }
        text_format::splitCopyRow(c.row, fields, unescaped);
        std::vector<std::optional<std::string>> got;
        for (const auto& f : fields)
            got.push_back(f.null ? std::nullopt
                                 : std::optional<std::string>(text_format::copyFieldText(f, c.row.data(), unescaped)));
        EXPECT_EQ(got, c.fields);
    }
}
