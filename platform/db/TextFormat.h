#pragma once
#include <libpq-fe.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/Value.h"

// How values travel as text between this layer and the server: results come
// in the server's text format and parameters go out untyped in text, so the
// server casts them to whatever the statement needs.
namespace platform::db::text_format {

// The built-in type OIDs this layer reads (pg_type.dat).
namespace oid {
constexpr Oid Bool = 16;
constexpr Oid Bytea = 17;
constexpr Oid Char = 18;
constexpr Oid Name = 19;
constexpr Oid Int8 = 20;
constexpr Oid Int2 = 21;
constexpr Oid Int4 = 23;
constexpr Oid Text = 25;
constexpr Oid ObjectId = 26;
constexpr Oid Float4 = 700;
constexpr Oid Float8 = 701;
constexpr Oid Bpchar = 1042;
constexpr Oid Varchar = 1043;
constexpr Oid Date = 1082;
constexpr Oid Timestamp = 1114;
constexpr Oid TimestampTz = 1184;
constexpr Oid Numeric = 1700;
} // namespace oid

// The kind of Value a column of this type reads as; String for types this
// layer does not know, which keep the server's text.
Value::Type kindOf(Oid type);

// One result field in the server's text format.
Value decode(Oid type, std::string_view text);

// A parameter's text; nullopt for NULL. Bytes go as bytea hex ("\x0a00ff"),
// date-times as "YYYY-MM-DD HH:MM:SS.ffffff".
std::optional<std::string> encode(const Value& value);

// The value of a hexadecimal digit, -1 for any other character.
int hexDigit(char c);

// "\x..." bytea text; nullopt when it is not in hex form.
std::optional<Bytes> decodeBytea(std::string_view text);

// One field of a row in COPY's text form, the form RowStream reads the
// server's rows in: where its text lies, in the row or (with escapes undone)
// in the row's unescaped text.
struct CopyField {
    bool null = true;
    bool unescaped = false; // the text lies in the unescaped text, not in the row
    std::size_t offset = 0;
    std::size_t length = 0;
};

// Cuts a row of COPY's text form (without its line feed) into fields.size()
// fields: tab-separated, "\N" for NULL, backslash escapes undone into
// unescaped (appended to). Throws DbError (22P04) when the row has fewer or
// more fields; a row of no fields is an empty line.
void splitCopyRow(std::string_view row, std::vector<CopyField>& fields, std::string& unescaped);

// The text of a field split from row; empty for NULL.
std::string_view copyFieldText(const CopyField& field, const char* row, const std::string& unescaped);

} // namespace platform::db::text_format

namespace platform::db {

// ASCII lower case, as the server folds unquoted names.
std::string lowered(std::string_view text);

} // namespace platform::db
