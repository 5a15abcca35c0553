#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/Value.h"

namespace platform::db {

// The :NAME parameters of a Query's or Command's statement and their values.
class Parameters {
public:
    // Rewrites the statement; values of names the new text still uses are
    // kept, the others dropped.
    void setSql(std::string_view sql);
    const std::string& originalSql() const { return original_; }
    const std::string& rewrittenSql() const { return rewritten_; }

    std::size_t count() const { return names_.size(); }
    const std::string& name(std::size_t i) const { return names_[i]; }

    // The value of a parameter, to set it (case-insensitive name). Using it
    // counts as assigning it, even when it is left NULL. Throws
    // std::invalid_argument for a name the statement does not have.
    Value& operator[](std::string_view name);

    // The texts to bind, $1 first; nullopt for NULL. Throws
    // std::invalid_argument naming the first parameter never assigned: a
    // forgotten parameter must not quietly run as NULL.
    std::vector<std::optional<std::string>> texts() const;

private:
    std::size_t indexOf(std::string_view name) const;

    std::string original_;
    std::string rewritten_;
    std::vector<std::string> names_;
    std::vector<std::string> lowerNames_;
    std::vector<Value> values_;
    std::vector<bool> assigned_;
};

} // namespace platform::db
