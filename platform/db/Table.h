#pragma once
#include <libpq-fe.h>

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/db/Connection.h"
#include "platform/db/Field.h"
#include "platform/db/NoCaseMap.h"
#include "platform/db/Value.h"

namespace platform::db {

enum class TableState { Inactive, Browse, Insert, Edit };

// One database table as the editors use it: its rows read when it is
// opened, walked, and changed one row at a time (append or edit, set fields,
// post or cancel, delete). Every post and delete goes to the server at once;
// there is no cached update.
//
// The key (for edit, delete and refresh) is the table's primary key unless
// other key fields are given ("A;B" for several). The auto-increment field
// (a serial, found from the column default unless given) is left out of an
// INSERT while it is NULL, so the server numbers the row. A post reads the
// whole row back (RETURNING), so the serial and any server defaults are in
// the row right after it.
//
// A DbError from post() leaves the row pending, in insert or edit state, so
// the caller can cancel() it.
class Table {
public:
    Table(Connection& connection, std::string tableName, std::string keyFields = {}, std::string autoIncField = {});

    // While closed.
    void setTableName(std::string tableName);
    void setKeyFields(std::string keyFields);
    void setAutoIncField(std::string autoIncField);
    // At most this many rows are read by open() and held (the oldest go
    // first when posts add more); 0 for no limit. For the logs that are
    // opened only to be appended to.
    void setRowLimit(int rows);
    const std::string& tableName() const { return tableName_; }

    // Reads the columns and, with fetchRows, the rows (in key order). Opened
    // without rows the table serves appending: it then holds only the row
    // posted last, so a table kept open for a log does not grow.
    void open(bool fetchRows = true);
    // Drops a pending row.
    void close();
    bool active() const { return state_ != TableState::Inactive; }
    TableState state() const { return state_; }

    // Moving posts a pending row that has assigned fields and cancels one
    // that has none, as a dataset does.
    void first();
    void next();
    bool eof() const { return eof_; }
    int recordCount() const { return static_cast<int>(rows_.size()); }
    // 1-based; 0 when there are no rows.
    int recNo() const { return rows_.empty() ? 0 : static_cast<int>(current_) + 1; }

    // A new row with every field NULL.
    void append();
    // Edits the current row; on an empty table appends.
    void edit();
    void post();
    void cancel();
    // Deletes the current row (by its key) on the server and here; a pending
    // new row is cancelled instead.
    void del();
    // Reads the rows again and stays on the row with the same key when it
    // is still there.
    void refresh();

    // By name, case-insensitive; throws std::invalid_argument for an unknown
    // field, std::logic_error on a closed table.
    Field field(std::string_view name);
    int fieldCount() const { return static_cast<int>(columns_.size()); }
    const std::string& fieldName(int index) const;

    // Moves to the first row held whose field equals the value (texts
    // compare case-sensitively); false, without moving, when none does.
    bool locate(std::string_view fieldName, const Value& value);
    // The fields ("Field1;Field2") of the row whose keyField equals
    // keyValue, without moving; nullopt when there is no such row. Asks the
    // server when not all rows are held, so it also works on a table opened
    // without rows. Throws std::logic_error on a closed table.
    std::optional<std::vector<Value>> lookup(std::string_view keyField, const Value& keyValue,
                                             std::string_view resultFields);

private:
    friend class Field;

    struct Column {
        std::string name;
        std::string quoted;
        Oid type = 0;
        Value::Type kind = Value::Type::String;
        bool text = false;      // varchar, text, bpchar: coerced to text
        bool date = false;      // date: coerced to midnight
        int maxChars = -1;      // varchar(n), char(n)
        bool autoIncrement = false;
    };
    using Row = std::vector<Value>;

    const Value& valueAt(std::size_t column) const;
    void assign(std::size_t column, const Value& value);

    void requireActive() const;
    void checkBrowseMode();
    void readColumns();
    void fetchRows();
    std::size_t columnIndex(std::string_view name) const;
    Value coerce(const Value& value, const Column& column) const;
    Row decodeRow(const PGresult* result, int row) const;
    std::string returningList() const;
    std::vector<std::size_t> splitFields(std::string_view fields) const;
    void hold(Row row);
    void postInsert();
    void postEdit();

    Connection& connection_;
    std::string tableName_;
    std::string keyFields_;
    std::string autoIncField_;
    int rowLimit_ = 0;

    std::string relation_; // the quoted, schema-qualified name when needed
    std::vector<Column> columns_;
    NoCaseMap<std::size_t> byName_;
    std::vector<std::size_t> keys_;

    TableState state_ = TableState::Inactive;
    std::vector<Row> rows_;
    std::size_t maxRows_ = 0; // 0: no limit
    bool complete_ = false;   // rows_ holds every row of the table
    bool fetched_ = false;
    std::size_t current_ = 0;
    bool eof_ = true;

    Row pending_;
    std::vector<bool> assigned_;
    std::size_t beforeAppend_ = 0;

    std::map<std::vector<bool>, std::string> insertSql_;
    std::map<std::vector<bool>, std::string> updateSql_;
    std::map<std::string, std::string> lookupSql_;
};

} // namespace platform::db
