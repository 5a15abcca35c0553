#pragma once
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace platform::db {

// One error the database engine reported. kind sorts the SQLSTATE into the
// few classes the callers act on (a duplicate key, a lost server).
struct DbErrorItem {
    int kind = 0;
    std::string sqlstate;
    std::string message;
};

// The database engine's error: the list of errors the server (or the client
// library, for a lost or refused connection) reported, first one first.
// Everything the server refused arrives as this type, so a caller that turns
// engine errors into a false result catches exactly this and lets
// programming errors pass.
class DbError : public std::runtime_error {
public:
    // The kinds keep the numbers the desk has always used for them.
    static constexpr int Other = 0;
    static constexpr int RecordLocked = 3;         // 40P01, 55P03
    static constexpr int UniqueKeyViolation = 4;   // 23505
    static constexpr int ForeignKeyViolation = 5;  // 23503
    static constexpr int ObjectDoesNotExist = 6;   // 42P01, 42703, 42883
    static constexpr int UserPasswordInvalid = 7;  // 28P01, 28000
    static constexpr int CommandAborted = 10;      // 57014
    static constexpr int ServerGone = 11;          // 08xxx, 57P01..57P03, a lost connection

    explicit DbError(std::vector<DbErrorItem> errors);
    DbError(std::string sqlstate, std::string message);

    const std::vector<DbErrorItem>& errors() const { return errors_; }
    // Of the first error.
    int kind() const { return errors_.front().kind; }
    const std::string& sqlstate() const { return errors_.front().sqlstate; }
    // Whether any error of the list is of this kind.
    bool hasKind(int kind) const;

    static int kindOf(std::string_view sqlstate);

private:
    std::vector<DbErrorItem> errors_;
};

} // namespace platform::db
