#include "platform/db/Query.h"

#include <cctype>
#include <stdexcept>

#include "platform/db/TextFormat.h"

namespace platform::db {

void Query::setSql(std::string_view sql)
{
    close();
    parameters_.setSql(sql);
}

void Query::open()
{
    close();
    Result result = connection_.runParams(parameters_.rewrittenSql(), parameters_.texts());
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
        throw std::logic_error("the statement returns no rows; run it with execSql: " + sql());
    for (int i = PQnfields(result.get()) - 1; i >= 0; --i)
        columns_[lowered(PQfname(result.get(), i))] = i;
    result_ = std::move(result);
    row_ = 0;
    eof_ = PQntuples(result_.get()) == 0;
}

std::int64_t Query::execSql()
{
    close();
    const Result result = connection_.runParams(parameters_.rewrittenSql(), parameters_.texts());
    const char* count = PQcmdTuples(result.get());
    return *count ? std::stoll(count) : 0;
}

void Query::close()
{
    result_.reset();
    columns_.clear();
    row_ = 0;
    eof_ = true;
}

void Query::next()
{
    if (row_ + 1 < recordCount())
        ++row_;
    else
        eof_ = true;
}

void Query::first()
{
    row_ = 0;
    eof_ = recordCount() == 0;
}

int Query::recordCount() const
{
    return result_ ? PQntuples(result_.get()) : 0;
}

int Query::columnOf(std::string_view name) const
{
    const auto found = columns_.find(name);
    if (found == columns_.end())
        throw std::invalid_argument("the query has no field '" + std::string(name) + "'" +
                                    (active() ? "" : " (it is not open)"));
    return found->second;
}

Value Query::field(std::string_view name) const
{
    return field(columnOf(name));
}

Value Query::field(int index) const
{
    if (!result_ || index < 0 || index >= PQnfields(result_.get()))
        throw std::out_of_range("field number " + std::to_string(index) + " is out of range");
    if (recordCount() == 0 || PQgetisnull(result_.get(), row_, index))
        return Value();
    return text_format::decode(PQftype(result_.get(), index),
                               std::string_view(PQgetvalue(result_.get(), row_, index),
                                                PQgetlength(result_.get(), row_, index)));
}

std::string_view Query::text(int index) const
{
    if (!result_ || index < 0 || index >= PQnfields(result_.get()))
        throw std::out_of_range("field number " + std::to_string(index) + " is out of range");
    if (recordCount() == 0 || PQgetisnull(result_.get(), row_, index))
        return {};
    return std::string_view(PQgetvalue(result_.get(), row_, index), PQgetlength(result_.get(), row_, index));
}

bool Query::hasField(std::string_view name) const
{
    return columns_.contains(name);
}

int Query::fieldCount() const
{
    return result_ ? PQnfields(result_.get()) : 0;
}

std::string Query::fieldName(int index) const
{
    if (index < 0 || index >= fieldCount())
        throw std::out_of_range("field number " + std::to_string(index) + " is out of range");
    return PQfname(result_.get(), index);
}

} // namespace platform::db
