#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/db/DateTime.h"
#include "platform/db/DbError.h"
#include "platform/db/Value.h"

using namespace platform::db;
using namespace std::chrono;

TEST(Value, NullReadsAsZeroEmptyAndFalse)
{
    const Value null;
    EXPECT_TRUE(null.isNull());
    EXPECT_EQ(null.asInt(), 0);
    EXPECT_EQ(null.asInt64(), 0);
    EXPECT_EQ(null.asDouble(), 0.0);
    EXPECT_EQ(null.asString(), "");
    EXPECT_FALSE(null.asBool());
    EXPECT_TRUE(null.asBytes().empty());
    EXPECT_FALSE(Value(0).isNull());
    EXPECT_FALSE(Value("").isNull());
}

TEST(Value, ConvertsBetweenKindsWhereTheCallersRelyOnIt)
{
    EXPECT_EQ(Value(42).asString(), "42");
    EXPECT_EQ(Value(std::int64_t{-9007199254740993}).asString(), "-9007199254740993");
    EXPECT_EQ(Value("17").asInt(), 17);
    EXPECT_EQ(Value(" -17 ").asInt(), -17);
    EXPECT_EQ(Value("12.0").asInt(), 12);
    EXPECT_EQ(Value("2.5").asDouble(), 2.5);
    EXPECT_EQ(Value(0.1).asString(), "0.1");
    EXPECT_EQ(Value(2.5).asInt(), 2); // half to even
    EXPECT_EQ(Value(3.5).asInt(), 4);
    EXPECT_TRUE(Value("t").asBool());
    EXPECT_FALSE(Value("false").asBool());
    EXPECT_TRUE(Value(7).asBool());
    EXPECT_EQ(Value(true).asInt(), 1);
    EXPECT_EQ(Value("2024-02-29 10:11:12").asDateTime(), local_days{2024y / 2 / 29} + 10h + 11min + 12s);

    EXPECT_THROW(Value("abc").asInt(), std::invalid_argument);
    EXPECT_THROW(Value("").asInt(), std::invalid_argument);
    EXPECT_THROW(Value("maybe").asBool(), std::invalid_argument);
    EXPECT_THROW(Value(std::int64_t{1} << 40).asInt(), std::out_of_range);
    EXPECT_THROW(Value("99999999999999999999").asInt64(), std::out_of_range);
    EXPECT_THROW(Value(1).asBytes(), std::invalid_argument);
}

TEST(DateTime, FormatsAndParsesTheServersText)
{
    struct Case {
        std::string_view name;
        std::string_view text;
        std::optional<DateTime> value;
        std::string_view formatted; // empty: the same as text
    };
    const DateTime leapDay = local_days{2024y / 2 / 29};
    const Case cases[] = {
        {"date only", "2024-02-29", leapDay, "2024-02-29 00:00:00"},
        {"seconds", "2024-02-29 23:59:59", leapDay + 23h + 59min + 59s, ""},
        {"microseconds", "2024-02-29 13:45:01.000123", leapDay + 13h + 45min + 1s + 123us, ""},
        {"short fraction as the server trims it", "2024-02-29 13:45:01.5", leapDay + 13h + 45min + 1s + 500ms,
         "2024-02-29 13:45:01.500000"},
        {"T between date and time", "2024-02-29T01:02:03", leapDay + 1h + 2min + 3s, "2024-02-29 01:02:03"},
        {"zone offset of a timestamptz skipped", "2024-02-29 01:02:03+01", leapDay + 1h + 2min + 3s,
         "2024-02-29 01:02:03"},
        {"first year", "0001-01-01 00:00:00", local_days{year{1} / 1 / 1}, ""},
        {"no such day", "2023-02-29", std::nullopt, ""},
        {"hour 24", "2024-02-29 24:00:00", std::nullopt, ""},
        {"single-digit month", "2024-2-29", std::nullopt, ""},
        {"seven fraction digits", "2024-02-29 00:00:00.1234567", std::nullopt, ""},
        {"infinity", "infinity", std::nullopt, ""},
        {"trailing text", "2024-02-29 00:00:00 BC", std::nullopt, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parseDateTime(c.text), c.value);
        if (c.value) {
            EXPECT_EQ(formatDateTime(*c.value), c.formatted.empty() ? c.text : c.formatted);
        }
    }
}

TEST(DbError, KindsFollowTheSqlstate)
{
    struct Case {
        std::string_view sqlstate;
        int kind;
    };
    const Case cases[] = {
        {"23505", DbError::UniqueKeyViolation}, {"23503", DbError::ForeignKeyViolation},
        {"40P01", DbError::RecordLocked},       {"55P03", DbError::RecordLocked},
        {"42P01", DbError::ObjectDoesNotExist}, {"42703", DbError::ObjectDoesNotExist},
        {"42883", DbError::ObjectDoesNotExist}, {"28P01", DbError::UserPasswordInvalid},
        {"28000", DbError::UserPasswordInvalid}, {"57014", DbError::CommandAborted},
        {"08006", DbError::ServerGone},         {"08001", DbError::ServerGone},
        {"57P01", DbError::ServerGone},         {"57P03", DbError::ServerGone},
        {"23502", DbError::Other},              {"3D000", DbError::Other},
        {"57P04", DbError::Other},              {"", DbError::Other},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sqlstate);
        EXPECT_EQ(DbError::kindOf(c.sqlstate), c.kind);
    }

    const DbError list({{DbError::Other, "23502", "first"}, {DbError::UniqueKeyViolation, "23505", "second"}});
    EXPECT_EQ(list.kind(), DbError::Other);
    EXPECT_STREQ(list.what(), "first");
    EXPECT_TRUE(list.hasKind(DbError::UniqueKeyViolation));
    EXPECT_FALSE(list.hasKind(DbError::ServerGone));
}
