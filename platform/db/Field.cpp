#include "platform/db/Field.h"

#include "platform/db/Table.h"

namespace platform::db {

const std::string& Field::name() const
{
    return table_->fieldName(static_cast<int>(column_));
}

const Value& Field::value() const
{
    return table_->valueAt(column_);
}

Field& Field::operator=(const Value& value)
{
    table_->assign(column_, value);
    return *this;
}

} // namespace platform::db
