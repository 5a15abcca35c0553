#include "platform/db/NamedParameters.h"

#include <cctype>

namespace platform::db {

namespace {

bool isIdentifierStart(char c)
{
    // Bytes of a multi-byte UTF-8 character count as letters, as the server
    // takes them.
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

bool isIdentifierChar(char c)
{
    return isIdentifierStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '$';
}

bool isAsciiNameStart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool isAsciiNameChar(char c)
{
    return isAsciiNameStart(c) || std::isdigit(static_cast<unsigned char>(c));
}

std::string lowered(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// End of a quoted run starting at the opening quote sql[i]; the doubled quote
// stays inside. With backslashes, a backslash takes the next byte with it.
std::size_t skipQuoted(std::string_view sql, std::size_t i, char quote, bool backslashes)
{
    ++i;
    while (i < sql.size()) {
        if (backslashes && sql[i] == '\\') {
            i += 2;
        } else if (sql[i] == quote) {
            if (i + 1 < sql.size() && sql[i + 1] == quote)
                i += 2;
            else
                return i + 1;
        } else {
            ++i;
        }
    }
    return sql.size();
}

std::size_t skipBlockComment(std::string_view sql, std::size_t i)
{
    int depth = 0;
    while (i < sql.size()) {
        if (sql.compare(i, 2, "/*") == 0) {
            ++depth;
            i += 2;
        } else if (sql.compare(i, 2, "*/") == 0) {
            i += 2;
            if (--depth == 0)
                return i;
        } else {
            ++i;
        }
    }
    return sql.size();
}

// The length of the dollar-quote tag ("$$", "$body$") at sql[i], or 0 when
// the '$' opens none ("$1" is a positional parameter).
std::size_t dollarTag(std::string_view sql, std::size_t i)
{
    std::size_t j = i + 1;
    if (j < sql.size() && sql[j] == '$')
        return 2;
    if (j >= sql.size() || !isIdentifierStart(sql[j]))
        return 0;
    while (j < sql.size() && isIdentifierChar(sql[j]) && sql[j] != '$')
        ++j;
    return j < sql.size() && sql[j] == '$' ? j + 1 - i : 0;
}

} // namespace

RewrittenSql rewriteNamedParameters(std::string_view sql)
{
    RewrittenSql out;
    out.sql.reserve(sql.size());
    std::vector<std::string> lowerNames;
    std::size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        const bool afterIdentifier = i > 0 && isIdentifierChar(sql[i - 1]);
        std::size_t end = i + 1;
        if (c == '\'') {
            // E'..' (or e'..') is the one form where a backslash escapes.
            const bool escaped = i > 0 && (sql[i - 1] == 'E' || sql[i - 1] == 'e') &&
                                 !(i > 1 && isIdentifierChar(sql[i - 2]));
            end = skipQuoted(sql, i, '\'', escaped);
        } else if (c == '"') {
            end = skipQuoted(sql, i, '"', false);
        } else if (c == '-' && sql.compare(i, 2, "--") == 0) {
            end = sql.find('\n', i);
            end = end == std::string_view::npos ? sql.size() : end;
        } else if (c == '/' && sql.compare(i, 2, "/*") == 0) {
            end = skipBlockComment(sql, i);
        } else if (c == '$' && !afterIdentifier) {
            if (const std::size_t tag = dollarTag(sql, i)) {
                const std::size_t close = sql.find(sql.substr(i, tag), i + tag);
                end = close == std::string_view::npos ? sql.size() : close + tag;
            }
        } else if (c == ':' && i + 1 < sql.size() && sql[i + 1] == ':') {
            end = i + 2;
        } else if (c == ':' && i + 1 < sql.size() && isAsciiNameStart(sql[i + 1])) {
            end = i + 2;
            while (end < sql.size() && isAsciiNameChar(sql[end]))
                ++end;
            const std::string_view name = sql.substr(i + 1, end - i - 1);
            const std::string lower = lowered(name);
            std::size_t number = 0;
            while (number < lowerNames.size() && lowerNames[number] != lower)
                ++number;
            if (number == lowerNames.size()) {
                lowerNames.push_back(lower);
                out.names.emplace_back(name);
            }
            out.sql += '$';
            out.sql += std::to_string(number + 1);
            i = end;
            continue;
        }
        out.sql.append(sql, i, end - i);
        i = end;
    }
    return out;
}

} // namespace platform::db
