#include "platform/db/TextFormat.h"

#include "platform/db/DbError.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace platform::db::text_format {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

namespace {

std::optional<std::int64_t> integer(std::string_view text)
{
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<double> floating(std::string_view text)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

Value::Type kindOf(Oid type)
{
    switch (type) {
    case oid::Bool:
        return Value::Type::Bool;
    case oid::Int2:
    case oid::Int4:
    case oid::Int8:
    case oid::ObjectId:
        return Value::Type::Int;
    case oid::Float4:
    case oid::Float8:
        return Value::Type::Double;
    case oid::Bytea:
        return Value::Type::Bytes;
    case oid::Date:
    case oid::Timestamp:
    case oid::TimestampTz:
        return Value::Type::DateTime;
    default:
        return Value::Type::String;
    }
}

Value decode(Oid type, std::string_view text)
{
    // A value the type's usual form does not fit (an 'infinity' timestamp, a
    // 'NaN' numeric read as an integer) stays text rather than failing the
    // whole row.
    switch (type) {
    case oid::Bool:
        return Value(text == "t");
    case oid::Int2:
    case oid::Int4:
    case oid::Int8:
    case oid::ObjectId:
        if (const auto value = integer(text))
            return Value(*value);
        break;
    case oid::Float4:
    case oid::Float8:
        if (const auto value = floating(text))
            return Value(*value);
        break;
    case oid::Numeric:
        // Sums and counts over bigint come back as numeric: whole ones read
        // as integers, the rest as floating point.
        if (const auto value = integer(text))
            return Value(*value);
        if (const auto value = floating(text))
            return Value(*value);
        break;
    case oid::Bytea:
        if (auto value = decodeBytea(text))
            return Value(std::move(*value));
        break;
    case oid::Date:
    case oid::Timestamp:
    case oid::TimestampTz:
        if (const auto value = parseDateTime(text))
            return Value(*value);
        break;
    default:
        break;
    }
    return Value(std::string(text));
}

std::optional<std::string> encode(const Value& value)
{
    switch (value.type()) {
    case Value::Type::Null:
        return std::nullopt;
    case Value::Type::Bool:
        return std::string(value.asBool() ? "true" : "false");
    case Value::Type::Bytes: {
        static constexpr char digits[] = "0123456789abcdef";
        const auto& bytes = std::get<Bytes>(value.storage());
        std::string text = "\\x";
        text.reserve(2 + 2 * bytes.size());
        for (std::uint8_t b : bytes) {
            text += digits[b >> 4];
            text += digits[b & 0x0f];
        }
        return text;
    }
    case Value::Type::DateTime: {
        // Always with the fraction, so a value and its text agree to the
        // microsecond whatever the column's precision.
        std::string text = formatDateTime(std::get<DateTime>(value.storage()));
        if (text.size() == 19)
            text += ".000000";
        return text;
    }
    default:
        return value.asString();
    }
}

std::optional<Bytes> decodeBytea(std::string_view text)
{
    if (text.size() < 2 || text[0] != '\\' || text[1] != 'x' || text.size() % 2 != 0)
        return std::nullopt;
    Bytes bytes;
    bytes.reserve((text.size() - 2) / 2);
    for (std::size_t i = 2; i < text.size(); i += 2) {
        const int high = hexDigit(text[i]);
        const int low = hexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high << 4 | low));
    }
    return bytes;
}

namespace {

// A field of COPY's text form with its backslash escapes undone, appended
// to `out`.
void Unescape(std::string_view text, std::string& out)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        switch (c) {
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'v': out += '\v'; break;
        case 'x':
            if (i + 1 < text.size() && hexDigit(text[i + 1]) >= 0) {
                int value = hexDigit(text[++i]);
                if (i + 1 < text.size() && hexDigit(text[i + 1]) >= 0)
                    value = value * 16 + hexDigit(text[++i]);
                out += static_cast<char>(value);
            } else {
                out += c;
            }
            break;
        default:
            if (c >= '0' && c <= '7') {
                int value = c - '0';
                for (int n = 0; n < 2 && i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '7'; ++n)
                    value = value * 8 + (text[++i] - '0');
                out += static_cast<char>(value);
            } else {
                out += c; // "\\" and any other escaped character stand for themselves
            }
        }
    }
}

} // namespace

void splitCopyRow(std::string_view line, std::vector<CopyField>& fields, std::string& unescaped)
{
    if (fields.empty() && line.empty())
        return;
    std::size_t start = 0;
    for (std::size_t n = 0; n < fields.size(); ++n) {
        if (start > line.size())
            throw DbError("22P04", "a row of the statement has fewer fields than its columns");
        std::size_t end = line.find('\t', start);
        if (end == std::string_view::npos)
            end = line.size();
        const std::string_view text = line.substr(start, end - start);
        CopyField& f = fields[n];
        f.null = text == "\\N";
        f.unescaped = !f.null && text.find('\\') != std::string_view::npos;
        if (f.unescaped) {
            f.offset = unescaped.size();
            Unescape(text, unescaped);
            f.length = unescaped.size() - f.offset;
        } else {
            f.offset = start;
            f.length = f.null ? 0 : text.size();
        }
        start = end + 1;
    }
    if (start <= line.size())
        throw DbError("22P04", "a row of the statement has more fields than its columns");
}

std::string_view copyFieldText(const CopyField& field, const char* row, const std::string& unescaped)
{
    if (field.null)
        return {};
    const char* base = field.unescaped ? unescaped.data() : row;
    return std::string_view(base + field.offset, field.length);
}

} // namespace platform::db::text_format

namespace platform::db {

std::string lowered(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace platform::db
