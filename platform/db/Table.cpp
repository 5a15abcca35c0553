#include "platform/db/Table.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "platform/db/DbError.h"
#include "platform/db/TextFormat.h"

namespace platform::db {

namespace {


std::string quoteIdentifier(std::string_view name)
{
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + '"';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> splitNames(std::string_view list)
{
    std::vector<std::string_view> names;
    while (!list.empty()) {
        const std::size_t end = std::min(list.find(';'), list.size());
        if (const std::string_view name = trimmed(list.substr(0, end)); !name.empty())
            names.push_back(name);
        list.remove_prefix(std::min(end + 1, list.size()));
    }
    return names;
}

// The first maxChars characters of UTF-8 text.
std::string cutToChars(std::string text, int maxChars)
{
    int chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xc0) != 0x80 && chars++ == maxChars) {
            text.resize(i);
            break;
        }
    }
    return text;
}

std::vector<std::optional<std::string>> encodeAll(const std::vector<const Value*>& values)
{
    std::vector<std::optional<std::string>> texts;
    texts.reserve(values.size());
    for (const Value* value : values)
        texts.push_back(text_format::encode(*value));
    return texts;
}

// The columns, the primary key and the serial of one table, in one look at
// the catalogue. The name is taken as an unquoted SQL name would be.
constexpr const char* columnsSql =
    "SELECT c.oid::regclass::text, a.attname, a.atttypid, a.atttypmod,"
    " COALESCE(a.attnum = ANY (i.indkey), false),"
    " a.attidentity <> '' OR COALESCE(pg_get_expr(d.adbin, d.adrelid) LIKE 'nextval(%', false)"
    " FROM pg_class c"
    " JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped"
    " LEFT JOIN pg_index i ON i.indrelid = c.oid AND i.indisprimary"
    " LEFT JOIN pg_attrdef d ON d.adrelid = c.oid AND d.adnum = a.attnum"
    " WHERE c.oid = to_regclass($1)"
    " ORDER BY a.attnum";

} // namespace

Table::Table(Connection& connection, std::string tableName, std::string keyFields, std::string autoIncField)
    : connection_(connection), tableName_(std::move(tableName)), keyFields_(std::move(keyFields)),
      autoIncField_(std::move(autoIncField))
{
}

void Table::setTableName(std::string tableName)
{
    if (active())
        throw std::logic_error("table " + tableName_ + " is open; close it before naming another");
    tableName_ = std::move(tableName);
}

void Table::setKeyFields(std::string keyFields)
{
    if (active())
        throw std::logic_error("table " + tableName_ + " is open; close it before changing its key");
    keyFields_ = std::move(keyFields);
}

void Table::setAutoIncField(std::string autoIncField)
{
    if (active())
        throw std::logic_error("table " + tableName_ + " is open; close it before changing its serial");
    autoIncField_ = std::move(autoIncField);
}

void Table::setRowLimit(int rows)
{
    rowLimit_ = std::max(rows, 0);
}

void Table::open(bool fetch)
{
    if (active())
        return;
    readColumns();
    fetched_ = fetch;
    maxRows_ = fetch ? static_cast<std::size_t>(rowLimit_) : 1;
    rows_.clear();
    if (fetch)
        fetchRows();
    else
        complete_ = false;
    current_ = 0;
    eof_ = rows_.empty();
    state_ = TableState::Browse;
}

void Table::close()
{
    state_ = TableState::Inactive;
    rows_.clear();
    pending_.clear();
    assigned_.clear();
    current_ = 0;
    eof_ = true;
}

void Table::readColumns()
{
    const Result result = connection_.runParams(columnsSql, {tableName_});
    const int count = PQntuples(result.get());
    if (count == 0)
        throw DbError("42P01", "relation \"" + tableName_ + "\" does not exist");

    columns_.clear();
    byName_.clear();
    keys_.clear();
    insertSql_.clear();
    updateSql_.clear();
    lookupSql_.clear();
    relation_ = PQgetvalue(result.get(), 0, 0);
    std::vector<std::size_t> primaryKey;
    for (int r = 0; r < count; ++r) {
        Column column;
        column.name = PQgetvalue(result.get(), r, 1);
        column.quoted = quoteIdentifier(column.name);
        column.type = static_cast<Oid>(std::stoul(PQgetvalue(result.get(), r, 2)));
        column.kind = text_format::kindOf(column.type);
        namespace oid = text_format::oid;
        column.text = column.type == oid::Varchar || column.type == oid::Text || column.type == oid::Bpchar ||
                      column.type == oid::Name;
        column.date = column.type == oid::Date;
        const int typmod = std::stoi(PQgetvalue(result.get(), r, 3));
        // varchar(n) and char(n) keep n + 4 (the header length) as typmod.
        if ((column.type == oid::Varchar || column.type == oid::Bpchar) && typmod >= 4)
            column.maxChars = typmod - 4;
        column.autoIncrement = PQgetvalue(result.get(), r, 5)[0] == 't';
        if (PQgetvalue(result.get(), r, 4)[0] == 't')
            primaryKey.push_back(columns_.size());
        byName_.emplace(lowered(column.name), columns_.size());
        columns_.push_back(std::move(column));
    }

    if (keyFields_.empty()) {
        keys_ = primaryKey;
    } else {
        for (std::string_view name : splitNames(keyFields_))
            keys_.push_back(columnIndex(name));
    }
    if (!autoIncField_.empty()) {
        const std::size_t serial = columnIndex(autoIncField_);
        for (std::size_t i = 0; i < columns_.size(); ++i)
            columns_[i].autoIncrement = i == serial;
    }
}

std::string Table::returningList() const
{
    // The columns by name rather than *: a column added later does not
    // change what a prepared statement returns.
    std::string list;
    for (const Column& column : columns_) {
        if (!list.empty())
            list += ", ";
        list += column.quoted;
    }
    return list;
}

void Table::fetchRows()
{
    std::string sql = "SELECT " + returningList() + " FROM " + relation_;
    for (std::size_t i = 0; i < keys_.size(); ++i)
        sql += (i == 0 ? " ORDER BY " : ", ") + columns_[keys_[i]].quoted;
    if (rowLimit_ > 0)
        sql += " LIMIT " + std::to_string(rowLimit_);
    const Result result = connection_.runParams(sql, {});
    const int count = PQntuples(result.get());
    rows_.clear();
    rows_.reserve(count);
    for (int r = 0; r < count; ++r)
        rows_.push_back(decodeRow(result.get(), r));
    complete_ = rowLimit_ == 0 || count < rowLimit_;
}

Table::Row Table::decodeRow(const PGresult* result, int row) const
{
    Row values;
    values.reserve(columns_.size());
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        const int i = static_cast<int>(c);
        if (PQgetisnull(result, row, i))
            values.emplace_back();
        else
            values.push_back(text_format::decode(
                columns_[c].type, std::string_view(PQgetvalue(result, row, i), PQgetlength(result, row, i))));
    }
    return values;
}

void Table::hold(Row row)
{
    rows_.push_back(std::move(row));
    if (maxRows_ > 0 && rows_.size() > maxRows_) {
        rows_.erase(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(rows_.size() - maxRows_));
        complete_ = false;
    }
    current_ = rows_.size() - 1;
    eof_ = false;
}

void Table::requireActive() const
{
    if (!active())
        throw std::logic_error("table " + tableName_ + " is not open");
}

std::size_t Table::columnIndex(std::string_view name) const
{
    const auto found = byName_.find(trimmed(name));
    if (found == byName_.end())
        throw std::invalid_argument("table " + tableName_ + " has no field '" + std::string(name) + "'");
    return found->second;
}

const std::string& Table::fieldName(int index) const
{
    return columns_.at(static_cast<std::size_t>(index)).name;
}

Field Table::field(std::string_view name)
{
    requireActive();
    return Field(*this, columnIndex(name));
}

const Value& Table::valueAt(std::size_t column) const
{
    static const Value null;
    requireActive();
    if (state_ == TableState::Insert || state_ == TableState::Edit)
        return pending_[column];
    return rows_.empty() ? null : rows_[current_][column];
}

Value Table::coerce(const Value& value, const Column& column) const
{
    if (value.isNull())
        return value;
    switch (column.kind) {
    case Value::Type::Bool:
        return Value(value.asBool());
    case Value::Type::Int:
        return Value(value.asInt64());
    case Value::Type::Double:
        return Value(value.asDouble());
    case Value::Type::Bytes:
        return Value(value.asBytes());
    case Value::Type::DateTime: {
        const DateTime time = value.asDateTime();
        return column.date ? Value(DateTime{std::chrono::floor<std::chrono::days>(time)}) : Value(time);
    }
    default:
        if (!column.text)
            return value;
        return Value(column.maxChars >= 0 ? cutToChars(value.asString(), column.maxChars) : value.asString());
    }
}

void Table::assign(std::size_t column, const Value& value)
{
    if (state_ != TableState::Insert && state_ != TableState::Edit)
        throw std::logic_error("table " + tableName_ + " is not appending or editing a row");
    pending_[column] = coerce(value, columns_[column]);
    assigned_[column] = true;
}

void Table::checkBrowseMode()
{
    if (state_ != TableState::Insert && state_ != TableState::Edit)
        return;
    if (std::find(assigned_.begin(), assigned_.end(), true) != assigned_.end())
        post();
    else
        cancel();
}

void Table::first()
{
    requireActive();
    checkBrowseMode();
    current_ = 0;
    eof_ = rows_.empty();
}

void Table::next()
{
    requireActive();
    checkBrowseMode();
    if (current_ + 1 < rows_.size())
        ++current_;
    else
        eof_ = true;
}

void Table::append()
{
    requireActive();
    checkBrowseMode();
    beforeAppend_ = current_;
    pending_.assign(columns_.size(), Value());
    assigned_.assign(columns_.size(), false);
    state_ = TableState::Insert;
}

void Table::edit()
{
    requireActive();
    if (state_ == TableState::Insert || state_ == TableState::Edit)
        return;
    if (rows_.empty()) {
        append();
        return;
    }
    pending_ = rows_[current_];
    assigned_.assign(columns_.size(), false);
    state_ = TableState::Edit;
}

void Table::cancel()
{
    if (state_ == TableState::Insert)
        current_ = std::min(beforeAppend_, rows_.empty() ? 0 : rows_.size() - 1);
    if (state_ == TableState::Insert || state_ == TableState::Edit)
        state_ = TableState::Browse;
    pending_.clear();
    assigned_.clear();
}

void Table::post()
{
    requireActive();
    if (state_ == TableState::Insert)
        postInsert();
    else if (state_ == TableState::Edit)
        postEdit();
    else
        throw std::logic_error("table " + tableName_ + " has no row to post");
}

void Table::postInsert()
{
    // The serial is left to the server unless the caller gave one.
    std::vector<bool> sent(columns_.size());
    std::vector<const Value*> values;
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        sent[c] = assigned_[c] && !(columns_[c].autoIncrement && pending_[c].isNull());
        if (sent[c])
            values.push_back(&pending_[c]);
    }
    auto sql = insertSql_.find(sent);
    if (sql == insertSql_.end()) {
        std::string names;
        std::string placeholders;
        for (std::size_t c = 0, n = 0; c < columns_.size(); ++c) {
            if (!sent[c])
                continue;
            names += (n == 0 ? "" : ", ") + columns_[c].quoted;
            placeholders += (n == 0 ? "$" : ", $") + std::to_string(n + 1);
            ++n;
        }
        std::string text = "INSERT INTO " + relation_ +
                           (values.empty() ? " DEFAULT VALUES" : " (" + names + ") VALUES (" + placeholders + ")") +
                           " RETURNING " + returningList();
        sql = insertSql_.emplace(std::move(sent), std::move(text)).first;
    }
    const Result result = connection_.runPrepared(sql->second, encodeAll(values));
    Row row = decodeRow(result.get(), 0);
    state_ = TableState::Browse;
    pending_.clear();
    assigned_.clear();
    hold(std::move(row));
}

void Table::postEdit()
{
    if (keys_.empty())
        throw std::logic_error("table " + tableName_ + " has no key to find the row to update");
    std::vector<const Value*> values;
    for (std::size_t c = 0; c < columns_.size(); ++c)
        if (assigned_[c])
            values.push_back(&pending_[c]);
    if (values.empty()) {
        cancel();
        return;
    }
    auto sql = updateSql_.find(assigned_);
    if (sql == updateSql_.end()) {
        std::string text = "UPDATE " + relation_ + " SET ";
        std::size_t n = 0;
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            if (assigned_[c]) {
                text += (n == 0 ? "" : ", ") + columns_[c].quoted + " = $" + std::to_string(n + 1);
                ++n;
            }
        }
        for (std::size_t k = 0; k < keys_.size(); ++k, ++n)
            text += (k == 0 ? " WHERE " : " AND ") + columns_[keys_[k]].quoted + " = $" + std::to_string(n + 1);
        text += " RETURNING " + returningList();
        sql = updateSql_.emplace(assigned_, std::move(text)).first;
    }
    // The row is found by the key it had when it was read.
    for (std::size_t key : keys_)
        values.push_back(&rows_[current_][key]);
    const Result result = connection_.runPrepared(sql->second, encodeAll(values));
    if (PQntuples(result.get()) == 0)
        throw DbError("02000", "the row of " + tableName_ + " to update is no longer there");
    rows_[current_] = decodeRow(result.get(), 0);
    state_ = TableState::Browse;
    pending_.clear();
    assigned_.clear();
}

void Table::del()
{
    requireActive();
    if (state_ == TableState::Insert) {
        cancel();
        return;
    }
    cancel();
    if (rows_.empty())
        throw std::logic_error("table " + tableName_ + " has no row to delete");
    if (keys_.empty())
        throw std::logic_error("table " + tableName_ + " has no key to find the row to delete");
    std::string sql = "DELETE FROM " + relation_;
    std::vector<const Value*> values;
    for (std::size_t k = 0; k < keys_.size(); ++k) {
        sql += (k == 0 ? " WHERE " : " AND ") + columns_[keys_[k]].quoted + " = $" + std::to_string(k + 1);
        values.push_back(&rows_[current_][keys_[k]]);
    }
    // A row another user deleted first is gone all the same: no error.
    connection_.runPrepared(sql, encodeAll(values));
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(current_));
    if (current_ >= rows_.size())
        current_ = rows_.empty() ? 0 : rows_.size() - 1;
    eof_ = rows_.empty();
}

void Table::refresh()
{
    requireActive();
    checkBrowseMode();
    Row key;
    if (!rows_.empty())
        for (std::size_t k : keys_)
            key.push_back(rows_[current_][k]);
    if (fetched_)
        fetchRows();
    else
        rows_.clear();
    current_ = 0;
    if (!key.empty()) {
        for (std::size_t r = 0; r < rows_.size(); ++r) {
            bool same = true;
            for (std::size_t k = 0; k < keys_.size() && same; ++k)
                same = rows_[r][keys_[k]] == key[k];
            if (same) {
                current_ = r;
                break;
            }
        }
    }
    eof_ = rows_.empty();
}

bool Table::locate(std::string_view fieldName, const Value& value)
{
    requireActive();
    checkBrowseMode();
    const std::size_t column = columnIndex(fieldName);
    Value wanted;
    try {
        wanted = coerce(value, columns_[column]);
    } catch (const std::invalid_argument&) {
        return false; // no value of the column's type can equal it
    } catch (const std::out_of_range&) {
        return false;
    }
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        if (rows_[r][column] == wanted) {
            current_ = r;
            eof_ = false;
            return true;
        }
    }
    return false;
}

std::optional<std::vector<Value>> Table::lookup(std::string_view keyField, const Value& keyValue,
                                                std::string_view resultFields)
{
    requireActive();
    const std::size_t key = columnIndex(keyField);
    std::vector<std::size_t> fields;
    for (std::string_view name : splitNames(resultFields))
        fields.push_back(columnIndex(name));
    Value wanted;
    try {
        wanted = coerce(keyValue, columns_[key]);
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    } catch (const std::out_of_range&) {
        return std::nullopt;
    }
    if (wanted.isNull())
        return std::nullopt;

    if (complete_) {
        for (const Row& row : rows_) {
            if (row[key] == wanted) {
                std::vector<Value> out;
                for (std::size_t f : fields)
                    out.push_back(row[f]);
                return out;
            }
        }
        return std::nullopt;
    }

    const std::string id = std::to_string(key) + ":" + std::string(resultFields);
    auto sql = lookupSql_.find(id);
    if (sql == lookupSql_.end()) {
        std::string text = "SELECT ";
        for (std::size_t i = 0; i < fields.size(); ++i)
            text += (i == 0 ? "" : ", ") + columns_[fields[i]].quoted;
        if (fields.empty())
            text += "1";
        text += " FROM " + relation_ + " WHERE " + columns_[key].quoted + " = $1 LIMIT 1";
        sql = lookupSql_.emplace(id, std::move(text)).first;
    }
    const Result result = connection_.runPrepared(sql->second, encodeAll({&wanted}));
    if (PQntuples(result.get()) == 0)
        return std::nullopt;
    std::vector<Value> out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const int c = static_cast<int>(i);
        out.push_back(PQgetisnull(result.get(), 0, c)
                          ? Value()
                          : text_format::decode(columns_[fields[i]].type,
                                                std::string_view(PQgetvalue(result.get(), 0, c),
                                                                 PQgetlength(result.get(), 0, c))));
    }
    return out;
}

} // namespace platform::db
