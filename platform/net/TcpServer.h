#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace platform::net {

enum class IoStatus {
    Ok,
    // Nothing (or not enough) came before the deadline; the connection stays
    // open and what did come is kept for the next read.
    Timeout,
    // The peer closed, or the connection was closed here or by the server's
    // stop().
    Closed,
    // Any other socket failure; treat the connection as lost.
    Failed,
};

struct ReadResult {
    IoStatus status = IoStatus::Ok;
    std::vector<std::uint8_t> bytes;

    bool ok() const { return status == IoStatus::Ok; }
};

// One accepted connection, handed to the handler on the connection's own
// thread. Reads and writes belong to that thread; close() and isOpen() may be
// called from any thread.
class Connection {
public:
    using Duration = std::chrono::milliseconds;

    virtual ~Connection() = default;

    // The peer's address as a number, the first octet highest: 127.0.0.1 is
    // 0x7f000001. An IPv4-mapped IPv6 peer gives its IPv4 address; any other
    // IPv6 peer gives 0.
    virtual std::uint32_t peerIPv4() const = 0;

    // Exactly n bytes, or the status that ended the wait. A time-out keeps the
    // bytes that came so far for the next read, so a packet split across
    // segments is read whole once the rest arrives.
    virtual ReadResult read(std::size_t n, Duration timeout) = 0;
    ReadResult read(std::size_t n) { return read(n, idleTimeout()); }
    // Whatever is there, 1 to max bytes, once something is.
    virtual ReadResult readSome(std::size_t max, Duration timeout) = 0;
    ReadResult readSome(std::size_t max) { return readSome(max, idleTimeout()); }
    // All the bytes or false. A peer that takes nothing for the idle time-out
    // counts as lost.
    virtual bool write(std::span<const std::uint8_t> bytes) = 0;

    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // The server's idle time-out, which the reads without a time-out use.
    virtual Duration idleTimeout() const = 0;
};

// A TCP server that serves each connection on a thread of its own, as the
// encoders' handler expects: it reads a packet, answers it and reads again,
// blocking with deadlines. Connections are few (one per encoder), so a
// thread each is cheap and keeps the handler a plain loop.
class TcpServer {
public:
    using Handler = std::function<void(Connection&)>;
    using Duration = std::chrono::milliseconds;

    struct Options {
        std::string bindAddress = "0.0.0.0";
        // 0: any free port; port() tells which.
        std::uint16_t port = 0;
        // Connections beyond this are accepted and closed at once, so a
        // flood cannot take every thread and descriptor of the desk.
        std::size_t maxConnections = 256;
        // For reads without a time-out of their own. Far above the encoders'
        // keep-alive interval: an encoder that says nothing this long is gone.
        Duration idleTimeout = std::chrono::minutes(10);
    };

    TcpServer();
    ~TcpServer();  // stops
    TcpServer(const TcpServer&) = delete;
    TcpServer& operator=(const TcpServer&) = delete;

    // Binds, listens and starts accepting. False with error() when the
    // address does not parse or the port is taken; false when running.
    bool start(const Options& options, Handler handler);
    // Closes the listener and every connection (their reads and writes
    // return Closed), then waits for every handler to return. Must not be
    // called from a handler.
    void stop();

    bool isRunning() const;
    std::uint16_t port() const;
    // Connections whose handler has not yet returned.
    std::size_t connectionCount() const;
    const std::string& error() const { return error_; }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string error_;
};

}  // namespace platform::net
