#include "platform/db/Parameters.h"

#include <cctype>
#include <stdexcept>

#include "platform/db/NamedParameters.h"
#include "platform/db/TextFormat.h"

namespace platform::db {

void Parameters::setSql(std::string_view sql)
{
    RewrittenSql rewritten = rewriteNamedParameters(sql);
    std::vector<std::string> lowerNames;
    std::vector<Value> values(rewritten.names.size());
    std::vector<bool> assigned(rewritten.names.size(), false);
    for (std::size_t i = 0; i < rewritten.names.size(); ++i) {
        lowerNames.push_back(lowered(rewritten.names[i]));
        const std::size_t old = indexOf(lowerNames.back());
        if (old < names_.size()) {
            values[i] = std::move(values_[old]);
            assigned[i] = assigned_[old];
        }
    }
    original_ = sql;
    rewritten_ = std::move(rewritten.sql);
    names_ = std::move(rewritten.names);
    lowerNames_ = std::move(lowerNames);
    values_ = std::move(values);
    assigned_ = std::move(assigned);
}

std::size_t Parameters::indexOf(std::string_view name) const
{
    const std::string lower = lowered(name);
    std::size_t i = 0;
    while (i < lowerNames_.size() && lowerNames_[i] != lower)
        ++i;
    return i;
}

Value& Parameters::operator[](std::string_view name)
{
    const std::size_t i = indexOf(name);
    if (i == names_.size())
        throw std::invalid_argument("the statement has no parameter :" + std::string(name));
    assigned_[i] = true;
    return values_[i];
}

std::vector<std::optional<std::string>> Parameters::texts() const
{
    std::vector<std::optional<std::string>> out;
    out.reserve(values_.size());
    for (std::size_t i = 0; i < values_.size(); ++i) {
        if (!assigned_[i])
            throw std::invalid_argument("parameter :" + names_[i] + " has no value");
        out.push_back(text_format::encode(values_[i]));
    }
    return out;
}

} // namespace platform::db
