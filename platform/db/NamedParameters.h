#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace platform::db {

// A statement with its :NAME parameters turned into the server's $1..$n.
struct RewrittenSql {
    std::string sql;
    // names[i] is $(i+1), spelt as at its first use.
    std::vector<std::string> names;
};

// Finds the :NAME parameters of a statement (a ':' followed by a letter or
// '_', then letters, digits and '_'; names compare case-insensitively, so
// :Id and :ID are one parameter with one number) and numbers them in order of
// first use. Left as they are: "::" casts, 'text' (with '' inside),
// E'text' (with backslash escapes), "identifiers", $$dollar$$ and
// $tag$dollar$tag$ quoted text, -- line comments and /* nested */ block
// comments, and any ':' not followed by a letter or '_'.
RewrittenSql rewriteNamedParameters(std::string_view sql);

} // namespace platform::db
