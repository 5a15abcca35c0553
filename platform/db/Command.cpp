#include "platform/db/Command.h"

namespace platform::db {

std::int64_t Command::execute()
{
    if (parameters_.count() == 0)
        return connection_.execute(parameters_.originalSql());
    const Result result = connection_.runParams(parameters_.rewrittenSql(), parameters_.texts());
    const char* count = PQcmdTuples(result.get());
    return *count ? std::stoll(count) : 0;
}

} // namespace platform::db
