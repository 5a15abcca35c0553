#include "platform/net/TcpServer.h"

#include <asio.hpp>

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <list>
#include <mutex>
#include <thread>

namespace platform::net {

namespace {

using Clock = std::chrono::steady_clock;

std::uint32_t toIPv4(const asio::ip::address& address)
{
    if (address.is_v4())
        return address.to_v4().to_uint();
    if (address.is_v6() && address.to_v6().is_v4_mapped())
        return asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6()).to_uint();
    return 0;
}

// Milliseconds for poll(), rounded up so a wait never ends before its
// deadline and spins.
int pollMillis(Clock::duration left)
{
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return static_cast<int>(std::clamp<long long>(ms, 0, 1'000'000'000));
}

class SocketConnection final : public Connection {
public:
    SocketConnection(asio::ip::tcp::socket socket, std::uint32_t peer, Duration idle)
        : socket_(std::move(socket)), fd_(socket_.native_handle()), peer_(peer), idle_(idle)
    {
        // Reads and writes wait in poll() against their deadline; a
        // non-blocking socket keeps a spurious wake-up from blocking.
        asio::error_code ignored;
        socket_.non_blocking(true, ignored);
    }

    std::uint32_t peerIPv4() const override { return peer_; }
    Duration idleTimeout() const override { return idle_; }
    bool isOpen() const override { return !closed_; }

    void close() override
    {
        std::lock_guard lock(mutex_);
        if (!released_ && !closed_.exchange(true))
            ::shutdown(fd_, SHUT_RDWR);  // wakes a read or write waiting on another thread
    }

    // After the handler has returned: the descriptor goes now, not when the
    // server next tidies up.
    void release()
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        released_ = true;
        asio::error_code ignored;
        socket_.close(ignored);
    }

    ReadResult read(std::size_t n, Duration timeout) override
    {
        const auto deadline = Clock::now() + timeout;
        while (pending_.size() < n) {
            if (IoStatus status = fill(n - pending_.size(), deadline); status != IoStatus::Ok)
                return {status, {}};
        }
        return take(n);
    }

    ReadResult readSome(std::size_t max, Duration timeout) override
    {
        if (max == 0)
            return {};
        if (pending_.empty()) {
            if (IoStatus status = fill(max, Clock::now() + timeout); status != IoStatus::Ok)
                return {status, {}};
        }
        return take(std::min(max, pending_.size()));
    }

    bool write(std::span<const std::uint8_t> bytes) override
    {
        const auto deadline = Clock::now() + idle_;
        while (!bytes.empty()) {
            if (closed_)
                return false;
            const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (sent > 0) {
                bytes = bytes.subspan(static_cast<std::size_t>(sent));
                continue;
            }
            if (sent < 0 && errno == EINTR)
                continue;
            if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                if (wait(POLLOUT, deadline) != IoStatus::Ok)
                    return false;
                continue;
            }
            closed_ = true;
            return false;
        }
        return true;
    }

private:
    IoStatus wait(short events, Clock::time_point deadline)
    {
        for (;;) {
            if (closed_)
                return IoStatus::Closed;
            const auto left = deadline - Clock::now();
            if (left <= Clock::duration::zero())
                return IoStatus::Timeout;
            pollfd entry{fd_, events, 0};
            const int ready = ::poll(&entry, 1, pollMillis(left));
            if (ready > 0)
                return IoStatus::Ok;
            if (ready < 0 && errno != EINTR)
                return IoStatus::Failed;
        }
    }

    // Reads at least one byte into pending_, at most `wanted` (with a floor,
    // so a byte-by-byte reader does not cost a call per byte).
    IoStatus fill(std::size_t wanted, Clock::time_point deadline)
    {
        std::uint8_t buffer[4096];
        const std::size_t chunk = std::min(sizeof buffer, std::max<std::size_t>(wanted, 1));
        for (;;) {
            if (closed_)
                return IoStatus::Closed;
            const ssize_t got = ::recv(fd_, buffer, chunk, 0);
            if (got > 0) {
                pending_.insert(pending_.end(), buffer, buffer + got);
                return IoStatus::Ok;
            }
            if (got == 0) {
                closed_ = true;
                return IoStatus::Closed;
            }
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                closed_ = true;
                return IoStatus::Failed;
            }
            if (IoStatus status = wait(POLLIN, deadline); status != IoStatus::Ok)
                return status;
        }
    }

    ReadResult take(std::size_t n)
    {
        ReadResult result;
        result.bytes.assign(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(n));
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(n));
        return result;
    }

    asio::ip::tcp::socket socket_;
    const int fd_;
    const std::uint32_t peer_;
    const Duration idle_;
    std::vector<std::uint8_t> pending_;
    std::mutex mutex_;
    std::atomic<bool> closed_{false};
    bool released_ = false;
};

}  // namespace

struct TcpServer::Impl {
    struct Session {
        std::shared_ptr<SocketConnection> connection;
        std::thread thread;
        std::atomic<bool> done{false};
    };

    // Declared first so it outlives the acceptor and every socket made on it.
    asio::io_context io;
    asio::ip::tcp::acceptor acceptor{io};
    std::thread acceptThread;
    Options options;
    Handler handler;
    std::uint16_t port = 0;
    std::atomic<bool> running{false};

    mutable std::mutex mutex;
    std::list<Session> sessions;

    // Joins the threads whose handlers have returned. Under the mutex.
    void reap()
    {
        for (auto it = sessions.begin(); it != sessions.end();) {
            if (it->done) {
                it->thread.join();
                it = sessions.erase(it);
            } else {
                ++it;
            }
        }
    }

    void acceptNext()
    {
        acceptor.async_accept([this](const asio::error_code& ec, asio::ip::tcp::socket socket) {
            if (ec == asio::error::operation_aborted || !acceptor.is_open())
                return;
            if (!ec)
                serve(std::move(socket));
            // Other errors (a peer gone before accept, out of descriptors)
            // concern one connection; keep listening.
            acceptNext();
        });
    }

    void serve(asio::ip::tcp::socket socket)
    {
        std::lock_guard lock(mutex);
        reap();
        if (sessions.size() >= options.maxConnections) {
            asio::error_code ignored;
            socket.close(ignored);
            return;
        }
        asio::error_code ec;
        const auto peer = socket.remote_endpoint(ec);
        if (ec)
            return;  // the peer has already gone
        Session& session = sessions.emplace_back();
        session.connection = std::make_shared<SocketConnection>(std::move(socket), toIPv4(peer.address()),
                                                                options.idleTimeout);
        try {
            session.thread = std::thread([this, &session] {
                try {
                    handler(*session.connection);
                } catch (...) {
                    // A handler that throws loses its connection, not the
                    // desk: the socket is closed below like any other.
                }
                session.connection->release();
                session.done = true;
            });
        } catch (const std::system_error&) {
            // No thread to be had: refuse this one as over the bound.
            session.connection->release();
            sessions.pop_back();
        }
    }
};

TcpServer::TcpServer() : impl_(std::make_unique<Impl>()) {}

TcpServer::~TcpServer()
{
    stop();
}

bool TcpServer::start(const Options& options, Handler handler)
{
    if (impl_->running) {
        error_ = "already running";
        return false;
    }
    error_.clear();
    // A fresh state: an io_context once stopped stays stopped until restart.
    impl_ = std::make_unique<Impl>();
    Impl& impl = *impl_;
    impl.options = options;
    impl.handler = std::move(handler);

    asio::error_code ec;
    const auto address = asio::ip::make_address(options.bindAddress, ec);
    if (ec) {
        error_ = "bad bind address \"" + options.bindAddress + "\": " + ec.message();
        return false;
    }
    const asio::ip::tcp::endpoint endpoint(address, options.port);
    impl.acceptor.open(endpoint.protocol(), ec);
    if (!ec)
        impl.acceptor.set_option(asio::socket_base::reuse_address(true), ec);
    if (!ec)
        impl.acceptor.bind(endpoint, ec);
    if (!ec)
        impl.acceptor.listen(asio::socket_base::max_listen_connections, ec);
    if (ec) {
        error_ = "cannot listen on " + options.bindAddress + ":" + std::to_string(options.port) + ": " + ec.message();
        asio::error_code ignored;
        impl.acceptor.close(ignored);
        return false;
    }
    impl.port = impl.acceptor.local_endpoint(ec).port();
    impl.acceptNext();
    impl.running = true;
    impl.acceptThread = std::thread([&impl] { impl.io.run(); });
    return true;
}

void TcpServer::stop()
{
    Impl& impl = *impl_;
    if (!impl.running.exchange(false))
        return;
    // Stopping the loop first means no accept can run while the acceptor is
    // closed under it.
    impl.io.stop();
    impl.acceptThread.join();
    asio::error_code ignored;
    impl.acceptor.close(ignored);

    std::list<Impl::Session> sessions;
    {
        std::lock_guard lock(impl.mutex);
        for (auto& session : impl.sessions)
            session.connection->close();
        sessions.splice(sessions.end(), impl.sessions);
    }
    for (auto& session : sessions)
        session.thread.join();
}

bool TcpServer::isRunning() const
{
    return impl_->running;
}

std::uint16_t TcpServer::port() const
{
    return impl_->port;
}

std::size_t TcpServer::connectionCount() const
{
    std::lock_guard lock(impl_->mutex);
    return static_cast<std::size_t>(std::count_if(impl_->sessions.begin(), impl_->sessions.end(),
                                                  [](const Impl::Session& s) { return !s.done; }));
}

}  // namespace platform::net
