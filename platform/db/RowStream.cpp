#include "platform/db/RowStream.h"

#include <stdexcept>

#include "platform/db/DbError.h"
#include "platform/db/TextFormat.h"

namespace platform::db {

namespace {

using text_format::hexDigit;

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

RowStream::~RowStream()
{
    try {
        close();
    } catch (...) {
        // The statement's end is of no interest to a reader that stopped.
    }
}

void RowStream::open(const std::string& select)
{
    close();
    // The columns' names and types, from the statement run without rows.
    const Result described = connection_.runParams("SELECT * FROM (" + select + ") AS wiersze LIMIT 0", {});
    for (int i = PQnfields(described.get()) - 1; i >= 0; --i)
        columns_[lowered(PQfname(described.get(), i))] = i;
    for (int i = 0; i < PQnfields(described.get()); ++i)
        types_.push_back(PQftype(described.get(), i));
    fields_.assign(types_.size(), Field{});
    wasInTransaction_ = connection_.inTransaction();
    connection_.startCopyOut(select);
    streaming_ = true;
}

bool RowStream::next()
{
    freeRow();
    if (!streaming_)
        return false;
    const int length = PQgetCopyData(connection_.conn_, &row_, 0);
    if (length > 0) {
        std::string_view line(row_, static_cast<std::size_t>(length));
        if (line.ends_with('\n'))
            line.remove_suffix(1);
        split(line);
        return true;
    }
    finish();
    return false;
}

void RowStream::close()
{
    freeRow();
    if (streaming_) {
        char* rest = nullptr;
        while (PQgetCopyData(connection_.conn_, &rest, 0) > 0)
            PQfreemem(rest);
        finish();
    }
    columns_.clear();
    types_.clear();
    fields_.clear();
}

void RowStream::finish()
{
    streaming_ = false;
    for (Field& f : fields_)
        f = Field{};
    connection_.endCopyOut(wasInTransaction_);
}

void RowStream::freeRow()
{
    if (row_) {
        PQfreemem(row_);
        row_ = nullptr;
    }
    unescaped_.clear();
}

void RowStream::split(std::string_view line)
{
    if (fields_.empty() && line.empty())
        return;
    std::size_t start = 0;
    for (std::size_t n = 0; n < fields_.size(); ++n) {
        if (start > line.size())
            throw DbError("22P04", "a row of the statement has fewer fields than its columns");
        std::size_t end = line.find('\t', start);
        if (end == std::string_view::npos)
            end = line.size();
        const std::string_view text = line.substr(start, end - start);
        Field& f = fields_[n];
        f.null = text == "\\N";
        f.unescaped = !f.null && text.find('\\') != std::string_view::npos;
        if (f.unescaped) {
            f.offset = unescaped_.size();
            Unescape(text, unescaped_);
            f.length = unescaped_.size() - f.offset;
        } else {
            f.offset = start;
            f.length = f.null ? 0 : text.size();
        }
        start = end + 1;
    }
    if (start <= line.size())
        throw DbError("22P04", "a row of the statement has more fields than its columns");
}

const RowStream::Field& RowStream::field_(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= fields_.size())
        throw std::out_of_range("field number " + std::to_string(index) + " is out of range");
    return fields_[static_cast<std::size_t>(index)];
}

int RowStream::fieldIndex(std::string_view name) const
{
    const auto found = columns_.find(name);
    if (found == columns_.end())
        throw std::invalid_argument("the statement has no field '" + std::string(name) + "'");
    return found->second;
}

std::string_view RowStream::text(int index) const
{
    const Field& f = field_(index);
    if (f.null)
        return {};
    const char* base = f.unescaped ? unescaped_.data() : row_;
    return std::string_view(base + f.offset, f.length);
}

Value RowStream::field(int index) const
{
    if (field_(index).null)
        return Value();
    return text_format::decode(types_[static_cast<std::size_t>(index)], text(index));
}

} // namespace platform::db
