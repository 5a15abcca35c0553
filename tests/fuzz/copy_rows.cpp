// Rows of COPY's text form as RowStream reads them from the server
// (text_format::splitCopyRow, copyFieldText), each field decoded by its
// column's type (text_format::decode) and read as the loader reads values.
// Input: a byte whose low three bits are the number of columns, one byte per
// column choosing its type, then the rows, each ended by a line feed as
// PQgetCopyData hands them out.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/DbError.h"
#include "platform/db/TextFormat.h"
#include "platform/db/Value.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

namespace oid = platform::db::text_format::oid;

constexpr Oid types[] = {oid::Bool,   oid::Bytea,  oid::Char,  oid::Name,    oid::Int8,   oid::Int2,
                         oid::Int4,   oid::Text,   oid::ObjectId, oid::Float4, oid::Float8, oid::Bpchar,
                         oid::Varchar, oid::Date,  oid::Timestamp, oid::TimestampTz, oid::Numeric};

template <typename F>
void Quietly(F read) {
    try {
        read();
    } catch (const std::exception&) {
        // A value that does not read as the kind asked for throws; that is
        // the caller's to handle.
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::size_t columns = data[0] & 0x07;
    if (size < 1 + columns)
        return 0;
    std::vector<Oid> columnTypes;
    for (std::size_t i = 0; i < columns; ++i)
        columnTypes.push_back(types[data[1 + i] % std::size(types)]);
    std::string_view rows = fuzz::text(std::span(data + 1 + columns, size - 1 - columns));

    std::vector<platform::db::text_format::CopyField> fields(columns);
    std::string unescaped;
    while (!rows.empty()) {
        const std::size_t lf = rows.find('\n');
        // The row as it came, without its line feed.
        const std::string_view row = rows.substr(0, lf);
        rows.remove_prefix(lf == std::string_view::npos ? rows.size() : lf + 1);
        unescaped.clear();
        try {
            platform::db::text_format::splitCopyRow(row, fields, unescaped);
        } catch (const platform::db::DbError&) {
            continue; // the statement fails
        }
        for (std::size_t i = 0; i < columns; ++i) {
            const auto& field = fields[i];
            const std::string_view text = platform::db::text_format::copyFieldText(field, row.data(), unescaped);
            if (field.null) {
                fuzz::check(text.empty());
                continue;
            }
            // The text lies inside the row or inside the unescaped text.
            if (field.unescaped)
                fuzz::check(field.offset + field.length <= unescaped.size());
            else
                fuzz::check(field.offset + field.length <= row.size());
            const platform::db::Value value = platform::db::text_format::decode(columnTypes[i], text);
            (void)platform::db::text_format::encode(value);
            Quietly([&] { (void)value.asBool(); });
            Quietly([&] { (void)value.asInt(); });
            Quietly([&] { (void)value.asInt64(); });
            Quietly([&] { (void)value.asDouble(); });
            Quietly([&] { (void)value.asString(); });
            Quietly([&] { (void)value.asBytes(); });
            Quietly([&] { (void)value.asDateTime(); });
        }
    }
    return 0;
}
