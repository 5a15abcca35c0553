#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/db/Value.h"

namespace platform::db {

class Table;

// One field of a Table's current row, as a handle: reading gives the value
// the row holds now, assigning sets it in the pending row (the table must be
// in insert or edit state):
//
//     table.append();
//     table.field("Opis") = "Brama otwarta";
//     table.post();
//     int id = table.field("IdZdarzenia").asInt();
//
// An assigned value is converted to the column's type at once (a text too
// long for a varchar(n) column is cut to n characters, never inside one), so
// a bad value fails where it is set, not at post().
class Field {
public:
    const std::string& name() const;
    const Value& value() const;

    bool isNull() const { return value().isNull(); }
    bool asBool() const { return value().asBool(); }
    int asInt() const { return value().asInt(); }
    std::int64_t asInt64() const { return value().asInt64(); }
    double asDouble() const { return value().asDouble(); }
    std::string asString() const { return value().asString(); }
    Bytes asBytes() const { return value().asBytes(); }
    DateTime asDateTime() const { return value().asDateTime(); }

    Field& operator=(const Value& value);
    // Copies the other field's value, as FieldByName(a) := FieldByName(b).
    Field& operator=(const Field& other) { return *this = other.value(); }
    Field(const Field&) = default;
    void clear() { *this = Value(); }

private:
    friend class Table;
    Field(Table& table, std::size_t column) : table_(&table), column_(column) {}

    Table* table_;
    std::size_t column_;
};

} // namespace platform::db
