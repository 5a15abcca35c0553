#include "platform/db/Connection.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>

#include "platform/db/DbError.h"

namespace platform::db {

namespace {

using Clock = std::chrono::steady_clock;

// How much longer than its statement time-out a statement is waited for
// before the server is taken as gone: the server's own cancel needs a moment
// to arrive.
constexpr std::chrono::milliseconds AnswerGrace{2000};

thread_local int noStatementsDepth = 0;
std::atomic<long> noStatementsViolations{0};

bool isNumericAddress(const std::string& host)
{
    unsigned char buffer[sizeof(in6_addr)];
    return inet_pton(AF_INET, host.c_str(), buffer) == 1 || inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

// Notices ("there is no transaction in progress") would otherwise go to
// stderr.
void ignoreNotice(void*, const char*) {}

std::string trimmedMessage(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

bool isSqlstateChar(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
}

// A failed connect is reported by libpq as text only; with verbose errors the
// server's SQLSTATE is in it ("FATAL:  28P01: password authentication
// failed ..."). Takes it out, with the LOCATION lines.
DbError connectError(std::string text)
{
    std::string sqlstate;
    for (std::size_t at = text.find(":  "); at != std::string::npos; at = text.find(":  ", at + 1)) {
        const std::size_t code = at + 3;
        if (code + 7 <= text.size() && text[code + 5] == ':' && text[code + 6] == ' ' &&
            std::all_of(text.begin() + code, text.begin() + code + 5, isSqlstateChar)) {
            sqlstate = text.substr(code, 5);
            text.erase(code, 7);
            break;
        }
    }
    std::string message;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        const std::string_view line(text.data() + start, end - start);
        if (!line.starts_with("LOCATION:")) {
            if (!message.empty())
                message += '\n';
            message += line;
        }
        start = end + 1;
    }
    // No SQLSTATE: the server was never reached.
    return DbError(sqlstate.empty() ? "08001" : sqlstate, trimmedMessage(message));
}

DbError resultError(const PGresult* result, PGconn* conn)
{
    const char* sqlstate = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const char* detail = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_DETAIL) : nullptr;
    std::string message;
    if (primary)
        message = primary;
    else if (result && *PQresultErrorMessage(result))
        message = PQresultErrorMessage(result);
    else
        message = conn ? PQerrorMessage(conn) : "database error";
    if (detail) {
        message += '\n';
        message += detail;
    }
    return DbError(sqlstate ? sqlstate : "", trimmedMessage(message));
}

DbError lostError(const PGresult* result, PGconn* conn)
{
    DbError error = resultError(result, conn);
    // The server's own reason (57P01 when it was terminated) when it gave
    // one; a plain loss is a connection failure.
    std::string sqlstate = error.kind() == DbError::ServerGone ? error.sqlstate() : std::string("08006");
    std::string message = error.what();
    if (message.empty())
        message = "the connection to the database server was lost";
    return DbError(std::move(sqlstate), std::move(message));
}

bool inTransactionStatus(PGTransactionStatusType status)
{
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
}

// Command tags of statements that cannot change a table's shape; after any
// other, prepared statements may describe tables that have changed.
bool keepsSchema(std::string_view tag)
{
    const std::string_view word = tag.substr(0, tag.find(' '));
    for (std::string_view keep : {"SELECT", "INSERT", "UPDATE", "DELETE", "MERGE", "BEGIN", "START", "COMMIT",
                                  "ROLLBACK", "SAVEPOINT", "RELEASE", "SHOW", "FETCH", "MOVE", "DECLARE",
                                  "CLOSE", "LOCK", "NOTIFY", "LISTEN", "UNLISTEN", "COPY", ""})
        if (word == keep)
            return true;
    return false;
}

Result emptyResult()
{
    return Result(PQmakeEmptyPGresult(nullptr, PGRES_COMMAND_OK));
}

std::int64_t affectedRows(const PGresult* result)
{
    const char* text = PQcmdTuples(const_cast<PGresult*>(result));
    std::int64_t count = 0;
    std::from_chars(text, text + std::char_traits<char>::length(text), count);
    return count;
}

} // namespace

Connection::Connection() = default;

Connection::~Connection()
{
    close();
}

void Connection::open()
{
    if (opened_)
        return;
    connectNow();
    opened_ = true;
}

void Connection::close()
{
    if (conn_)
        PQfinish(conn_);
    conn_ = nullptr;
    opened_ = false;
    needsReconnect_ = false;
    transactionActive_ = false;
    transactionLost_ = false;
    statements_.clear();
    staleStatements_.clear();
}

bool Connection::inTransaction() const
{
    if (!opened_)
        return false;
    if (transactionLost_)
        return true;
    if (conn_ && PQstatus(conn_) == CONNECTION_OK)
        return inTransactionStatus(PQtransactionStatus(conn_));
    return transactionActive_;
}

void Connection::connectNow()
{
    // Output the reading side depends on, whatever the server's defaults.
    std::string options = "-c DateStyle=ISO -c bytea_output=hex";
    if (statementTimeout_.count() > 0)
        options += " -c statement_timeout=" + std::to_string(statementTimeout_.count());
    const std::pair<const char*, std::string> settings[] = {
        {"host", host_},
        // A numeric address needs no resolver, which may stall.
        {"hostaddr", isNumericAddress(host_) ? host_ : std::string()},
        {"port", port_ > 0 ? std::to_string(port_) : std::string()},
        {"dbname", database_},
        {"user", user_},
        {"password", password_},
        {"client_encoding", "UTF8"},
        {"application_name", "kandor"},
        {"options", options},
        // A server whose host vanished without closing the socket is
        // noticed within seconds instead of the system's two hours: by the
        // keepalives while the session is idle, by tcp_user_timeout while
        // what was sent is not acknowledged.
        {"keepalives", "1"},
        {"keepalives_idle", "5"},
        {"keepalives_interval", "2"},
        {"keepalives_count", "3"},
        {"tcp_user_timeout", "5000"},
    };
    std::vector<const char*> keys;
    std::vector<const char*> values;
    for (const auto& [key, value] : settings) {
        if (!value.empty()) {
            keys.push_back(key);
            values.push_back(value.c_str());
        }
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);

    PGconn* conn = PQconnectStartParams(keys.data(), values.data(), 0);
    if (conn == nullptr)
        throw DbError("08001", "out of memory while connecting to the database server");
    // Set before the handshake so that a refusal carries its SQLSTATE.
    PQsetErrorVerbosity(conn, PQERRORS_VERBOSE);

    const auto deadline = Clock::now() + connectTimeout_;
    PostgresPollingStatusType state = PQstatus(conn) == CONNECTION_BAD ? PGRES_POLLING_FAILED : PGRES_POLLING_WRITING;
    bool timedOut = false;
    while (state != PGRES_POLLING_OK && state != PGRES_POLLING_FAILED) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        pollfd fds[2] = {{PQsocket(conn), static_cast<short>(state == PGRES_POLLING_READING ? POLLIN : POLLOUT), 0},
                         {interruptFd_, POLLIN, 0}};
        const int ready = poll(fds, interruptFd_ >= 0 ? 2 : 1, static_cast<int>(left));
        if (ready < 0 && errno != EINTR) {
            state = PGRES_POLLING_FAILED;
            break;
        }
        if (ready > 0 && fds[1].revents) {
            PQfinish(conn);
            throw DbError("08001", "connecting to the database server was interrupted");
        }
        if (ready > 0)
            state = PQconnectPoll(conn);
    }
    if (state != PGRES_POLLING_OK) {
        std::string message = timedOut ? "timeout expired while connecting to the database server"
                                       : std::string(PQerrorMessage(conn));
        PQfinish(conn);
        if (timedOut)
            throw DbError("08001", message);
        throw connectError(std::move(message));
    }
    PQsetErrorVerbosity(conn, PQERRORS_DEFAULT);
    PQsetNoticeProcessor(conn, ignoreNotice, nullptr);

    if (conn_)
        PQfinish(conn_);
    conn_ = conn;
    needsReconnect_ = false;
    transactionActive_ = false;
    transactionLost_ = false;
    sentTimeout_ = statementTimeout_;
    // Prepared statements lived in the old session.
    statements_.clear();
    staleStatements_.clear();
}

void Connection::reconnect()
{
    // Only a failed attempt holds the next one back: a server that is
    // back takes the desk back at once.
    throwIfAway();
    // The interval runs from the end of the failed attempt: from its start,
    // an attempt that waited out the connect time-out would leave none.
    if (lastFailure_ && Clock::now() - *lastFailure_ < reconnectInterval_)
        throw DbError("08006", "the connection to the database server was lost; reconnecting again shortly");
    try {
        connectNow();
    } catch (const DbError& e) {
        lastFailure_ = Clock::now();
        // The session was there a moment ago: a server that refuses a new
        // one for want of room (53300) or while it changes state (55000) is
        // away for now like a stopped one, and callers keep their work for
        // later. Only a refused login is an error of its own.
        if (e.kind() == DbError::ServerGone || e.kind() == DbError::UserPasswordInvalid)
            throw;
        throw DbError({{DbError::ServerGone, e.sqlstate(), e.what()}});
    }
    lastFailure_.reset();
}

void Connection::markLost()
{
    needsReconnect_ = true;
    if (transactionActive_)
        transactionLost_ = true;
    transactionActive_ = false;
}

// Notices a session the server has already closed (a restart, an idle
// session terminated) before a statement is sent, so that outside a
// transaction the statement can run on a new session instead of failing.
//
// Not when the server answered within the last millisecond: in a burst of
// statements the look at the socket would cost more than a tenth of each
// round trip, and a session that dies in that millisecond is still handled,
// only by the statement failing (the next one reconnects).
void Connection::detectLoss()
{
    if (needsReconnect_ || conn_ == nullptr)
        return;
    if (PQstatus(conn_) == CONNECTION_OK) {
        transactionActive_ = inTransactionStatus(PQtransactionStatus(conn_));
        if (Clock::now() - lastAnswer_ < std::chrono::milliseconds(1))
            return;
        // A terminated backend leaves its last message and then the end
        // of the stream, and one read may take only the message.
        pollfd fd{PQsocket(conn_), POLLIN, 0};
        for (int reads = 0; reads < 4 && poll(&fd, 1, 0) > 0 && PQstatus(conn_) == CONNECTION_OK; ++reads)
            if (!PQconsumeInput(conn_))
                break;
    }
    if (PQstatus(conn_) == CONNECTION_BAD)
        markLost();
}

PGconn* Connection::native()
{
    if (!opened_)
        return nullptr;
    detectLoss();
    if (needsReconnect_ && !transactionLost_)
        reconnect();
    return conn_;
}

Connection::StatementKind Connection::kindOf(std::string_view sql)
{
    StatementKind kind;
    // Transaction ends are short; longer texts need no look.
    if (sql.size() > 64)
        return kind;
    std::string text;
    bool space = false;
    for (char c : sql) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            space = !text.empty();
        } else {
            if (space)
                text += ' ';
            space = false;
            text += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    while (!text.empty() && (text.back() == ';' || text.back() == ' '))
        text.pop_back();
    if (text.ends_with(" AND NO CHAIN"))
        text.resize(text.size() - 13);

    const std::string_view t = text;
    kind.rollsBack = t == "ROLLBACK" || t == "ABORT" || t.starts_with("ROLLBACK ") || t.starts_with("ABORT ");
    for (std::string_view tail : {"", " WORK", " TRANSACTION"}) {
        if (t.ends_with(tail)) {
            const std::string_view word = t.substr(0, t.size() - tail.size());
            if (word == "COMMIT" || word == "END")
                kind.ending = Ending::Commit;
            else if (word == "ROLLBACK" || word == "ABORT")
                kind.ending = Ending::Rollback;
        }
    }
    return kind;
}

template <typename Call>
Result Connection::perform(StatementKind kind, bool mayChangeSchema, Call call, bool copyOut)
{
    if (!opened_)
        throw DbError("08003", "not connected to the database");
    checkAllowed();
    detectLoss();
    if (transactionLost_) {
        // The server rolled the transaction back when the session went.
        if (kind.ending == Ending::Rollback) {
            transactionLost_ = false;
            return emptyResult();
        }
        if (kind.ending == Ending::Commit) {
            transactionLost_ = false;
            throw DbError("08006", "the connection to the database server was lost; the transaction was rolled back");
        }
        throw DbError("08006", "the connection to the database server was lost; the transaction was rolled back "
                               "and must be ended with ROLLBACK");
    }
    if (needsReconnect_) {
        // With no session there is no transaction to roll back.
        if (kind.ending == Ending::Rollback)
            return emptyResult();
        reconnect();
    }
    throwIfAway();
    sendTimeout();
    const bool wasInTransaction = inTransactionStatus(PQtransactionStatus(conn_));
    abandoned_.clear();
    Result result(call());
    lastAnswer_ = Clock::now();
    // A rollback, or a failure that ends in one, may have undone a time-out
    // set inside the transaction.
    if (kind.ending == Ending::Rollback || kind.rollsBack || !result ||
        PQresultStatus(result.get()) == PGRES_FATAL_ERROR)
        sentTimeout_ = std::chrono::milliseconds(-1);
    return check(std::move(result), kind, wasInTransaction, mayChangeSchema, copyOut);
}

void Connection::throwIfAway() const
{
    if (away_ && away_->load(std::memory_order_relaxed))
        throw DbError("08006", "the database server is not answering");
}

void Connection::checkAllowed()
{
    if (noStatementsDepth > 0)
        noStatementsViolations.fetch_add(1, std::memory_order_relaxed);
}

void Connection::sendTimeout()
{
    if (sentTimeout_ == statementTimeout_)
        return;
    const std::string sql = "SET statement_timeout = " + std::to_string(statementTimeout_.count());
    Result result(execNow(sql));
    if (result && PQresultStatus(result.get()) == PGRES_COMMAND_OK) {
        sentTimeout_ = statementTimeout_;
        return;
    }
    if (PQstatus(conn_) == CONNECTION_BAD) {
        markLost();
        DbError lost = lostError(result.get(), conn_);
        throw abandoned_.empty() ? lost : DbError(lost.sqlstate(), abandoned_);
    }
    // In a failed transaction: sent after it ends.
}

std::chrono::milliseconds Connection::answerTimeout() const
{
    return statementTimeout_.count() > 0 ? statementTimeout_ + AnswerGrace : std::chrono::milliseconds(-1);
}

void Connection::abandon(const char* why)
{
    abandoned_ = why;
    // The peer is not answering: end the session on this side, so that
    // libpq sees it closed and the next statement reconnects.
    if (PQsocket(conn_) >= 0)
        ::shutdown(PQsocket(conn_), SHUT_RDWR);
    PQconsumeInput(conn_);
}

bool Connection::waitFor(short events)
{
    if (PQsocket(conn_) < 0)
        return true; // closed: the next libpq call says so at once
    const std::chrono::milliseconds limit = answerTimeout();
    const auto deadline = Clock::now() + limit;
    for (;;) {
        int left = -1;
        if (limit.count() >= 0) {
            left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
            if (left <= 0) {
                abandon("the database server did not answer in time");
                return false;
            }
        }
        pollfd fds[2] = {{PQsocket(conn_), events, 0}, {interruptFd_, POLLIN, 0}};
        const int ready = poll(fds, interruptFd_ >= 0 ? 2 : 1, left);
        if (ready < 0 && errno != EINTR)
            return true; // the next libpq call reports what is wrong
        if (ready > 0 && fds[1].revents) {
            abandon("waiting for the database server was interrupted");
            return false;
        }
        if (ready > 0)
            return true;
    }
}

PGresult* Connection::collect(bool sent)
{
    if (!sent)
        return nullptr;
    // What libpq could not send at once goes out as the socket takes it.
    for (;;) {
        const int flushed = PQflush(conn_);
        if (flushed == 0)
            break;
        if (flushed < 0 || !waitFor(POLLIN | POLLOUT))
            return nullptr;
        if (!PQconsumeInput(conn_))
            return nullptr;
    }
    PGresult* kept = nullptr;
    for (;;) {
        while (PQisBusy(conn_) && PQstatus(conn_) != CONNECTION_BAD) {
            if (!waitFor(POLLIN)) {
                PQclear(kept);
                return nullptr;
            }
            if (!PQconsumeInput(conn_))
                break;
        }
        PGresult* result = PQgetResult(conn_);
        if (result == nullptr)
            return kept;
        const ExecStatusType status = PQresultStatus(result);
        if (status == PGRES_COPY_OUT || status == PGRES_COPY_IN || status == PGRES_COPY_BOTH) {
            PQclear(kept);
            return result;
        }
        // As PQexec: the last result, but an error over what follows it.
        if (kept && PQresultStatus(kept) == PGRES_FATAL_ERROR) {
            PQclear(result);
        } else {
            PQclear(kept);
            kept = result;
        }
        if (PQstatus(conn_) == CONNECTION_BAD)
            return kept;
    }
}

int Connection::copyData(char** buffer)
{
    for (;;) {
        const int length = PQgetCopyData(conn_, buffer, 1);
        if (length != 0)
            return length;
        if (!waitFor(POLLIN) || !PQconsumeInput(conn_))
            return -2;
    }
}

Result Connection::check(Result result, StatementKind kind, bool wasInTransaction, bool mayChangeSchema,
                         bool copyOut)
{
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    switch (status) {
    case PGRES_COMMAND_OK:
    case PGRES_TUPLES_OK:
    case PGRES_EMPTY_QUERY: {
        transactionActive_ = inTransactionStatus(PQtransactionStatus(conn_));
        const std::string_view tag = PQcmdStatus(result.get());
        if (tag == "ROLLBACK" && !kind.rollsBack)
            throw DbError("40000", "the transaction had failed and was rolled back, not committed");
        if (mayChangeSchema && !keepsSchema(tag)) {
            for (auto& [sql, name] : statements_)
                staleStatements_.push_back(std::move(name));
            statements_.clear();
        }
        return result;
    }
    case PGRES_COPY_IN: {
        PQputCopyEnd(conn_, "COPY from the client is not supported");
        PQclear(collect(true));
        transactionActive_ = inTransactionStatus(PQtransactionStatus(conn_));
        throw DbError("0A000", "COPY FROM STDIN is not supported by this connection");
    }
    case PGRES_COPY_OUT: {
        if (copyOut)
            return result;
        char* buffer = nullptr;
        while (copyData(&buffer) > 0)
            PQfreemem(buffer);
        PQclear(collect(true));
        transactionActive_ = inTransactionStatus(PQtransactionStatus(conn_));
        throw DbError("0A000", "COPY TO STDOUT is not supported by this connection");
    }
    default:
        break;
    }

    if (PQstatus(conn_) == CONNECTION_BAD) {
        transactionActive_ = wasInTransaction;
        markLost();
        if (transactionLost_ && kind.ending != Ending::None) {
            // The statement that ended the transaction is the one that
            // learns of the loss: a rollback has happened anyway, a commit
            // has failed.
            transactionLost_ = false;
            if (kind.ending == Ending::Rollback)
                return emptyResult();
        }
        DbError lost = lostError(result.get(), conn_);
        if (!abandoned_.empty())
            throw DbError(lost.sqlstate(), abandoned_);
        throw lost;
    }
    transactionActive_ = inTransactionStatus(PQtransactionStatus(conn_));
    throw resultError(result.get(), conn_);
}

std::int64_t Connection::execute(std::string_view sql)
{
    return affectedRows(run(sql).get());
}

Result Connection::run(std::string_view sql)
{
    const std::string text(sql);
    return perform(kindOf(sql), true, [&] { return execNow(text); });
}

Result Connection::runParams(const std::string& sql, const ParamTexts& params)
{
    std::vector<const char*> values;
    values.reserve(params.size());
    for (const auto& p : params)
        values.push_back(p ? p->c_str() : nullptr);
    return perform(kindOf(sql), true, [&] {
        return collect(PQsendQueryParams(conn_, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(),
                                         nullptr, nullptr, 0) == 1);
    });
}

void Connection::startCopyOut(const std::string& select)
{
    const std::string sql = "COPY (" + select + ") TO STDOUT";
    perform(StatementKind{}, false, [&] { return execNow(sql); }, true);
}

void Connection::endCopyOut(bool wasInTransaction)
{
    Result status(collect(true));
    lastAnswer_ = Clock::now();
    check(std::move(status), StatementKind{}, wasInTransaction, false);
}

Result Connection::runPrepared(const std::string& sql, const ParamTexts& params)
{
    std::vector<const char*> values;
    values.reserve(params.size());
    for (const auto& p : params)
        values.push_back(p ? p->c_str() : nullptr);
    return perform(StatementKind{}, false, [&] { return prepareAndExecute(sql, values); });
}

void Connection::dropStaleStatements()
{
    // DEALLOCATE is not transactional, but its failure would abort the
    // caller's transaction: only outside one.
    if (staleStatements_.empty() || PQtransactionStatus(conn_) != PQTRANS_IDLE)
        return;
    for (const std::string& name : staleStatements_)
        PQclear(execNow("DEALLOCATE " + name));
    staleStatements_.clear();
}

PGresult* Connection::prepareAndExecute(const std::string& sql, const std::vector<const char*>& values)
{
    dropStaleStatements();
    const int count = static_cast<int>(values.size());
    for (int attempt = 0;; ++attempt) {
        auto found = statements_.find(sql);
        if (found == statements_.end()) {
            std::string name = "kandor_" + std::to_string(++statementCounter_);
            PGresult* prepared = collect(PQsendPrepare(conn_, name.c_str(), sql.c_str(), count, nullptr) == 1);
            if (PQresultStatus(prepared) != PGRES_COMMAND_OK)
                return prepared;
            PQclear(prepared);
            found = statements_.emplace(sql, std::move(name)).first;
        }
        PGresult* result =
            collect(PQsendQueryPrepared(conn_, found->second.c_str(), count, values.data(), nullptr, nullptr, 0) == 1);
        // A table changed behind a statement prepared earlier (through
        // native(), or by another program's migration): prepare it anew,
        // once, where no transaction has been spoilt by the failure.
        const char* sqlstate = PQresultErrorField(result, PG_DIAG_SQLSTATE);
        if (attempt == 0 && sqlstate && std::string_view(sqlstate) == "0A000" &&
            PQtransactionStatus(conn_) == PQTRANS_IDLE) {
            PQclear(result);
            PQclear(execNow("DEALLOCATE " + found->second));
            statements_.erase(found);
            continue;
        }
        return result;
    }
}

NoStatementsHere::NoStatementsHere()
{
    ++noStatementsDepth;
}

NoStatementsHere::~NoStatementsHere()
{
    --noStatementsDepth;
}

long NoStatementsHere::violations()
{
    return noStatementsViolations.load(std::memory_order_relaxed);
}

} // namespace platform::db
