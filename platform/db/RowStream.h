#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/Connection.h"
#include "platform/db/NoCaseMap.h"
#include "platform/db/TextFormat.h"
#include "platform/db/Value.h"

namespace platform::db {

// The rows of a SELECT read one at a time as the server sends them, for a
// single forward pass over a large table: nothing holds the whole result,
// and the rows are worked on while the server is still producing the rest.
// Fields read as a Query's do (the server's text form, decoded by column
// type; NULL as a null Value and empty text).
class RowStream {
public:
    explicit RowStream(Connection& connection) : connection_(connection) {}
    ~RowStream();
    RowStream(const RowStream&) = delete;
    RowStream& operator=(const RowStream&) = delete;

    // Starts a SELECT without parameters. Throws DbError.
    void open(const std::string& select);
    // Moves to the next row; false after the last, when the statement has
    // ended. A failure of the statement half-way throws DbError.
    bool next();
    // Ends the statement, reading and dropping the rows not yet read.
    void close();
    bool active() const { return streaming_; }

    // The position of a field by name (case-insensitive). Throws
    // std::invalid_argument for an unknown field.
    int fieldIndex(std::string_view name) const;
    int fieldCount() const { return static_cast<int>(types_.size()); }
    bool isNull(int index) const { return field_(index).null; }
    // The field's text, empty for NULL; valid until the next row.
    std::string_view text(int index) const;
    Value field(int index) const;

private:
    const text_format::CopyField& field_(int index) const;
    void freeRow();
    void finish();

    Connection& connection_;
    NoCaseMap<int> columns_;
    std::vector<Oid> types_;
    std::vector<text_format::CopyField> fields_;
    char* row_ = nullptr;
    std::string unescaped_;
    bool streaming_ = false;
    bool wasInTransaction_ = false;
};

} // namespace platform::db
