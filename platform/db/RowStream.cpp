#include "platform/db/RowStream.h"

#include <stdexcept>

#include "platform/db/DbError.h"
#include "platform/db/TextFormat.h"

namespace platform::db {

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
    fields_.assign(types_.size(), text_format::CopyField{});
    wasInTransaction_ = connection_.inTransaction();
    connection_.startCopyOut(select);
    streaming_ = true;
}

bool RowStream::next()
{
    freeRow();
    if (!streaming_)
        return false;
    const int length = connection_.copyData(&row_);
    if (length > 0) {
        std::string_view line(row_, static_cast<std::size_t>(length));
        if (line.ends_with('\n'))
            line.remove_suffix(1);
        text_format::splitCopyRow(line, fields_, unescaped_);
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
        while (connection_.copyData(&rest) > 0)
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
    for (text_format::CopyField& f : fields_)
        f = text_format::CopyField{};
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

const text_format::CopyField& RowStream::field_(int index) const
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
    return text_format::copyFieldText(field_(index), row_, unescaped_);
}

Value RowStream::field(int index) const
{
    if (field_(index).null)
        return Value();
    return text_format::decode(types_[static_cast<std::size_t>(index)], text(index));
}

} // namespace platform::db
