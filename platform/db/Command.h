#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/db/Connection.h"
#include "platform/db/Parameters.h"
#include "platform/db/Value.h"

namespace platform::db {

// One statement run for its effect. A text without parameters runs as it
// stands, like Connection::execute (so any statement, or several, can be
// given); one with :NAME parameters runs as a single statement with them.
class Command {
public:
    explicit Command(Connection& connection) : connection_(connection) {}

    void setText(std::string_view text) { parameters_.setSql(text); }
    const std::string& text() const { return parameters_.originalSql(); }
    Value& param(std::string_view name) { return parameters_[name]; }

    // The rows affected.
    std::int64_t execute();

private:
    Connection& connection_;
    Parameters parameters_;
};

} // namespace platform::db
