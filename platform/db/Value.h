#pragma once
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/db/DateTime.h"

namespace platform::db {

using Bytes = std::vector<std::uint8_t>;

// One field or parameter value. Reading converts between the kinds where the
// callers have always relied on it: a NULL reads as 0, 0.0, "", false, no
// bytes and the zero date-time, and isNull() tells it apart; an integer reads
// as its text and a numeric text as its integer. A conversion that makes no
// sense (letters as an integer) throws std::invalid_argument, a number that
// does not fit std::out_of_range; neither is a database error.
class Value {
public:
    enum class Type { Null, Bool, Int, Double, String, Bytes, DateTime };
    using Storage = std::variant<std::monostate, bool, std::int64_t, double, std::string, platform::db::Bytes, DateTime>;

    Value() = default;
    Value(std::nullptr_t) {}
    Value(bool value) : storage_(value) {}
    template <std::integral T>
        requires(!std::same_as<T, bool> && !std::same_as<T, char>)
    Value(T value) : storage_(static_cast<std::int64_t>(value))
    {
    }
    Value(double value) : storage_(value) {}
    Value(std::string value) : storage_(std::move(value)) {}
    Value(std::string_view value) : storage_(std::string(value)) {}
    Value(const char* value) : storage_(std::string(value)) {}
    Value(platform::db::Bytes value) : storage_(std::move(value)) {}
    // Any local time: whole days, hours, seconds; finer ones are cut to the
    // microsecond.
    template <typename Duration>
    Value(std::chrono::local_time<Duration> value)
        : storage_(std::chrono::floor<std::chrono::microseconds>(value))
    {
    }

    Type type() const { return static_cast<Type>(storage_.index()); }
    bool isNull() const { return type() == Type::Null; }

    bool asBool() const;
    // 32-bit, as the element ids and most columns are.
    int asInt() const;
    std::int64_t asInt64() const;
    double asDouble() const;
    std::string asString() const;
    platform::db::Bytes asBytes() const;
    DateTime asDateTime() const;

    const Storage& storage() const { return storage_; }

    // Same kind and same content; NULL equals NULL.
    bool operator==(const Value&) const = default;

private:
    Storage storage_;
};

} // namespace platform::db
