#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/db/Connection.h"
#include "platform/db/NoCaseMap.h"
#include "platform/db/Parameters.h"
#include "platform/db/Value.h"

namespace platform::db {

// A statement with :NAME parameters, opened for its rows (SELECT, and also
// INSERT ... RETURNING) or executed for its effect. The rows are read whole
// when it is opened and walked with first(), next() and eof().
class Query {
public:
    explicit Query(Connection& connection) : connection_(connection) {}

    // Closes the query; values already set for names the new text still
    // uses are kept.
    void setSql(std::string_view sql);
    const std::string& sql() const { return parameters_.originalSql(); }
    // For setting a parameter: q.param("Id") = 5. Throws
    // std::invalid_argument for a name the statement does not have.
    Value& param(std::string_view name) { return parameters_[name]; }

    // Runs the statement and keeps its rows, positioned on the first. Throws
    // std::logic_error for a statement that returns no rows (it has run).
    void open();
    // Runs the statement; the rows it affected (or returned).
    std::int64_t execSql();
    void close();
    bool active() const { return static_cast<bool>(result_); }

    // As a dataset walks: next() on the last row sets eof() and stays there.
    bool eof() const { return eof_; }
    void next();
    void first();
    int recordCount() const;
    // 1-based; 0 when there are no rows.
    int recNo() const { return recordCount() == 0 ? 0 : row_ + 1; }

    // The current row's field by name (case-insensitive). NULL when there
    // are no rows. Throws std::invalid_argument for an unknown field.
    Value field(std::string_view name) const;
    Value field(int index) const;
    // The field's text as the server sent it, without a copy; empty for
    // NULL. Valid until the query moves or closes. For text columns it is
    // the value itself.
    std::string_view text(int index) const;
    bool hasField(std::string_view name) const;
    // The position of a field, for reading many rows by position. Throws
    // std::invalid_argument for an unknown field.
    int fieldIndex(std::string_view name) const { return columnOf(name); }
    int fieldCount() const;
    std::string fieldName(int index) const;

private:
    int columnOf(std::string_view name) const;

    Connection& connection_;
    Parameters parameters_;
    Result result_;
    NoCaseMap<int> columns_;
    int row_ = 0;
    bool eof_ = true;
};

} // namespace platform::db
