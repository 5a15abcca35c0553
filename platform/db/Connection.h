#pragma once
#include <libpq-fe.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform::db {

struct ResultDeleter {
    void operator()(PGresult* result) const noexcept { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

// The session with the PostgreSQL server that the desk's queries, commands
// and tables run on. Every failure the server or the client library reports
// is thrown as DbError.
//
// A Connection and everything bound to it belong to one thread; nothing here
// locks. A thread that needs the database (an encoder's handler) opens its
// own Connection.
//
// A lost session is recovered on next use, but never in the middle of a
// transaction:
// - lost outside a transaction, the next statement reconnects first. After
//   a failed attempt, statements within the reconnect interval throw
//   ServerGone at once instead of trying again, so a dead server does not
//   stall every caller for the connect time-out;
// - lost inside a transaction, the server has rolled the transaction back.
//   Every statement then throws ServerGone until the caller ends the
//   transaction: ROLLBACK succeeds, COMMIT throws; either way the next
//   statement reconnects. So nothing of the transaction's remainder runs
//   outside it, and a lost transaction is never reported as committed.
// A statement during which the session is lost throws ServerGone and is not
// repeated: it may have taken effect.
//
// Nothing waits without bound. A connect gives up after the connect
// time-out; with a statement time-out set, the server cancels a statement
// that runs longer (CommandAborted), and a server that does not answer at
// all within that time and a grace period more is taken as gone: the
// session is dropped and the statement throws ServerGone. Keepalives and
// tcp_user_timeout notice a vanished peer of an idle or a sending session.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Take effect at the next connect. An empty host or port 0 leaves
    // libpq's default.
    void setHost(std::string host) { host_ = std::move(host); }
    void setPort(int port) { port_ = port; }
    void setDatabase(std::string database) { database_ = std::move(database); }
    void setUser(std::string user) { user_ = std::move(user); }
    void setPassword(std::string password) { password_ = std::move(password); }
    void setConnectTimeout(std::chrono::milliseconds timeout) { connectTimeout_ = timeout; }
    void setReconnectInterval(std::chrono::milliseconds interval) { reconnectInterval_ = interval; }
    // 0: none. Set on the session before its next statement.
    void setStatementTimeout(std::chrono::milliseconds timeout) { statementTimeout_ = timeout; }
    std::chrono::milliseconds statementTimeout() const { return statementTimeout_; }
    // While *away is true, every statement and reconnect throws ServerGone
    // at once: another connection to the same server (the writer's) has
    // found it gone, and the caller's own attempt would only wait for the
    // time-outs. nullptr: none.
    void setServerAway(const std::atomic<bool>* away) { away_ = away; }
    // A descriptor that, once readable, ends every wait of this connection:
    // the session is dropped and the call throws ServerGone. -1: none.
    void setInterrupt(int fd) { interruptFd_ = fd; }

    const std::string& host() const { return host_; }
    int port() const { return port_; }
    const std::string& database() const { return database_; }
    const std::string& user() const { return user_; }
    const std::string& password() const { return password_; }

    // Connects; nothing when already open. Throws DbError (a wrong password
    // is UserPasswordInvalid, an unreachable server ServerGone).
    void open();
    void close();
    // Open and not closed; stays true while a lost session waits to be
    // recovered on next use.
    bool connected() const { return opened_; }
    bool inTransaction() const;

    // Runs the text as it stands (several statements may be given, separated
    // by ';'), and returns the rows the last one affected. "BEGIN", "COMMIT"
    // and "ROLLBACK" are statements like any other here. A COMMIT of a
    // transaction that had failed, which the server turns into a rollback,
    // throws.
    std::int64_t execute(std::string_view sql);

    // The libpq session for what this layer does not cover, recovered first
    // when it was lost outside a transaction (which may throw DbError);
    // nullptr when closed. Statements run on it bypass the transaction
    // bookkeeping above.
    PGconn* native();

private:
    friend class Query;
    friend class Command;
    friend class Table;
    friend class RowStream;

    using ParamTexts = std::vector<std::optional<std::string>>;

    // Simple query protocol: the text as it stands.
    Result run(std::string_view sql);
    // One statement with $n parameters, bound untyped in text.
    Result runParams(const std::string& sql, const ParamTexts& params);
    // As runParams, through a statement prepared once per session and text.
    Result runPrepared(const std::string& sql, const ParamTexts& params);
    // Starts "COPY (select) TO STDOUT"; the caller reads the rows with
    // PQgetCopyData and ends with endCopyOut.
    void startCopyOut(const std::string& select);
    // The statement's final status after the last row: throws its error.
    void endCopyOut(bool wasInTransaction);
    // The next row of a COPY TO STDOUT, as PQgetCopyData: its length, -1 at
    // the end, -2 on an error (a wait past the time-out drops the session).
    int copyData(char** buffer);

    enum class Ending { None, Commit, Rollback };
    struct StatementKind {
        Ending ending = Ending::None;
        bool rollsBack = false; // ROLLBACK, ABORT, ROLLBACK TO SAVEPOINT: "ROLLBACK" is their tag
    };
    static StatementKind kindOf(std::string_view sql);

    // A COPY TO STDOUT is refused unless the caller reads it (copyOut).
    template <typename Call>
    Result perform(StatementKind kind, bool mayChangeSchema, Call call, bool copyOut = false);
    Result check(Result result, StatementKind kind, bool wasInTransaction, bool mayChangeSchema,
                 bool copyOut = false);
    void checkAllowed();
    void throwIfAway() const;
    void sendTimeout();
    void detectLoss();
    void markLost();
    void reconnect();
    void connectNow();
    void dropStaleStatements();
    PGresult* prepareAndExecute(const std::string& sql, const std::vector<const char*>& values);
    // Waits for the answer to what was sent: the last result, or the first
    // error; a COPY result at once. nullptr when the sending failed or the
    // session was dropped (see waitFor).
    PGresult* collect(bool sent);
    PGresult* execNow(const std::string& sql) { return collect(PQsendQuery(conn_, sql.c_str()) == 1); }
    // Waits until the socket is ready for events, up to the answer time-out.
    // False when the time ran out or the interrupt fired: the session is
    // then dropped (a query is in flight and its state unknown).
    bool waitFor(short events);
    std::chrono::milliseconds answerTimeout() const;
    void abandon(const char* why);

    std::string host_;
    int port_ = 0;
    std::string database_;
    std::string user_;
    std::string password_;
    std::chrono::milliseconds connectTimeout_{5000};
    std::chrono::milliseconds reconnectInterval_{2000};
    std::chrono::milliseconds statementTimeout_{0};
    // The time-out the session has; -1 when a rollback may have undone it.
    std::chrono::milliseconds sentTimeout_{0};
    const std::atomic<bool>* away_ = nullptr;
    int interruptFd_ = -1;
    // Why the last wait dropped the session, for the error it throws.
    std::string abandoned_;

    PGconn* conn_ = nullptr;
    bool opened_ = false;
    bool needsReconnect_ = false;
    bool transactionActive_ = false; // as of the last statement
    bool transactionLost_ = false;
    std::optional<std::chrono::steady_clock::time_point> lastFailure_;
    std::chrono::steady_clock::time_point lastAnswer_;

    // Prepared statements of this session by their text.
    std::unordered_map<std::string, std::string> statements_;
    std::vector<std::string> staleStatements_;
    unsigned statementCounter_ = 0;
};

// A statement time-out for a span of longer work (a load, an import, the
// schema steps), the connection's own again after it.
class StatementTimeoutScope {
public:
    StatementTimeoutScope(Connection& connection, std::chrono::milliseconds timeout)
        : connection_(connection), previous_(connection.statementTimeout())
    {
        connection.setStatementTimeout(timeout);
    }
    ~StatementTimeoutScope() { connection_.setStatementTimeout(previous_); }
    StatementTimeoutScope(const StatementTimeoutScope&) = delete;
    StatementTimeoutScope& operator=(const StatementTimeoutScope&) = delete;

private:
    Connection& connection_;
    std::chrono::milliseconds previous_;
};

// Statements are forbidden on this thread while one lives: code that must
// never wait for the server (the logic tick) runs inside one, and a
// statement that is run anyway is counted, so that tests find it.
class NoStatementsHere {
public:
    NoStatementsHere();
    ~NoStatementsHere();
    NoStatementsHere(const NoStatementsHere&) = delete;
    NoStatementsHere& operator=(const NoStatementsHere&) = delete;
    // Statements run inside such a scope since the program started.
    static long violations();
};

} // namespace platform::db
