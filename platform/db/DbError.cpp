#include "platform/db/DbError.h"

#include <algorithm>

namespace platform::db {

namespace {

std::string firstMessage(const std::vector<DbErrorItem>& errors)
{
    return errors.empty() ? std::string("database error") : errors.front().message;
}

} // namespace

DbError::DbError(std::vector<DbErrorItem> errors)
    : std::runtime_error(firstMessage(errors)), errors_(std::move(errors))
{
    // kind() and sqlstate() read the first item; an empty list still has one.
    if (errors_.empty())
        errors_.push_back({Other, "", what()});
}

DbError::DbError(std::string sqlstate, std::string message)
    : DbError(std::vector<DbErrorItem>{{kindOf(sqlstate), std::move(sqlstate), std::move(message)}})
{
}

bool DbError::hasKind(int kind) const
{
    return std::any_of(errors_.begin(), errors_.end(), [kind](const DbErrorItem& e) { return e.kind == kind; });
}

int DbError::kindOf(std::string_view s)
{
    if (s == "40P01" || s == "55P03")
        return RecordLocked;
    if (s == "23505")
        return UniqueKeyViolation;
    if (s == "23503")
        return ForeignKeyViolation;
    if (s == "42P01" || s == "42703" || s == "42883")
        return ObjectDoesNotExist;
    if (s == "28P01" || s == "28000")
        return UserPasswordInvalid;
    if (s == "57014")
        return CommandAborted;
    // Class 08 is every connection exception; 57P01-57P03 are the server
    // shutting down, crashing or not yet accepting connections.
    if (s.starts_with("08") || s == "57P01" || s == "57P02" || s == "57P03")
        return ServerGone;
    return Other;
}

} // namespace platform::db
