#include "platform/db/Value.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace platform::db {

namespace {

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

[[noreturn]] void notA(std::string_view what, std::string_view text)
{
    throw std::invalid_argument("'" + std::string(text) + "' is not a valid " + std::string(what));
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != b[i])
            return false;
    }
    return true;
}

double parseDouble(std::string_view text)
{
    const std::string_view t = trimmed(text);
    double value = 0;
    const char* first = t.data();
    // from_chars takes no leading '+', the server's numeric text may have one.
    if (!t.empty() && t.front() == '+')
        ++first;
    const auto [end, error] = std::from_chars(first, t.data() + t.size(), value);
    if (t.empty() || error != std::errc() || end != t.data() + t.size())
        notA("floating-point value", text);
    return value;
}

std::int64_t parseInt(std::string_view text)
{
    const std::string_view t = trimmed(text);
    std::int64_t value = 0;
    const char* first = t.data();
    if (!t.empty() && t.front() == '+')
        ++first;
    const auto [end, error] = std::from_chars(first, t.data() + t.size(), value);
    if (error == std::errc::result_out_of_range)
        throw std::out_of_range("'" + std::string(text) + "' does not fit a 64-bit integer");
    if (t.empty() || error != std::errc() || end != t.data() + t.size())
        notA("integer value", text);
    return value;
}

std::int64_t roundToInt(double value)
{
    // Half to even, as the desk has always rounded.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0))
        throw std::out_of_range(std::to_string(value) + " does not fit a 64-bit integer");
    return static_cast<std::int64_t>(rounded);
}

std::string doubleText(double value)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "Infinity" : "-Infinity";
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

} // namespace

bool Value::asBool() const
{
    switch (type()) {
    case Type::Null:
        return false;
    case Type::Bool:
        return std::get<bool>(storage_);
    case Type::Int:
        return std::get<std::int64_t>(storage_) != 0;
    case Type::Double:
        return std::get<double>(storage_) != 0;
    case Type::String: {
        const std::string_view t = trimmed(std::get<std::string>(storage_));
        for (const char* yes : {"t", "true", "y", "yes", "on", "1"})
            if (equalsNoCase(t, yes))
                return true;
        for (const char* no : {"f", "false", "n", "no", "off", "0"})
            if (equalsNoCase(t, no))
                return false;
        notA("boolean value", std::get<std::string>(storage_));
    }
    case Type::Bytes:
    case Type::DateTime:
        break;
    }
    throw std::invalid_argument("this value cannot be read as a boolean");
}

int Value::asInt() const
{
    const std::int64_t value = asInt64();
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        throw std::out_of_range(std::to_string(value) + " does not fit a 32-bit integer");
    return static_cast<int>(value);
}

std::int64_t Value::asInt64() const
{
    switch (type()) {
    case Type::Null:
        return 0;
    case Type::Bool:
        return std::get<bool>(storage_) ? 1 : 0;
    case Type::Int:
        return std::get<std::int64_t>(storage_);
    case Type::Double:
        return roundToInt(std::get<double>(storage_));
    case Type::String: {
        const std::string& text = std::get<std::string>(storage_);
        try {
            return parseInt(text);
        } catch (const std::invalid_argument&) {
            // "12.0" and "1e3" are numbers too; the server writes numeric
            // results that way.
            return roundToInt(parseDouble(text));
        }
    }
    case Type::Bytes:
    case Type::DateTime:
        break;
    }
    throw std::invalid_argument("this value cannot be read as an integer");
}

double Value::asDouble() const
{
    switch (type()) {
    case Type::Null:
        return 0;
    case Type::Bool:
        return std::get<bool>(storage_) ? 1 : 0;
    case Type::Int:
        return static_cast<double>(std::get<std::int64_t>(storage_));
    case Type::Double:
        return std::get<double>(storage_);
    case Type::String:
        return parseDouble(std::get<std::string>(storage_));
    case Type::Bytes:
    case Type::DateTime:
        break;
    }
    throw std::invalid_argument("this value cannot be read as a floating-point number");
}

std::string Value::asString() const
{
    switch (type()) {
    case Type::Null:
        return {};
    case Type::Bool:
        // The texts a boolean field has always shown.
        return std::get<bool>(storage_) ? "True" : "False";
    case Type::Int:
        return std::to_string(std::get<std::int64_t>(storage_));
    case Type::Double:
        return doubleText(std::get<double>(storage_));
    case Type::String:
        return std::get<std::string>(storage_);
    case Type::Bytes: {
        const auto& bytes = std::get<platform::db::Bytes>(storage_);
        return std::string(bytes.begin(), bytes.end());
    }
    case Type::DateTime:
        return formatDateTime(std::get<DateTime>(storage_));
    }
    return {};
}

platform::db::Bytes Value::asBytes() const
{
    switch (type()) {
    case Type::Null:
        return {};
    case Type::Bytes:
        return std::get<platform::db::Bytes>(storage_);
    case Type::String: {
        const std::string& text = std::get<std::string>(storage_);
        return platform::db::Bytes(text.begin(), text.end());
    }
    default:
        throw std::invalid_argument("this value cannot be read as bytes");
    }
}

DateTime Value::asDateTime() const
{
    switch (type()) {
    case Type::Null:
        return DateTime{};
    case Type::DateTime:
        return std::get<DateTime>(storage_);
    case Type::String: {
        const std::string& text = std::get<std::string>(storage_);
        if (const auto parsed = parseDateTime(trimmed(text)))
            return *parsed;
        notA("date and time", text);
    }
    default:
        throw std::invalid_argument("this value cannot be read as a date and time");
    }
}

} // namespace platform::db
