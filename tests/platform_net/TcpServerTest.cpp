#include "platform/net/TcpServer.h"

#include <asio.hpp>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/time.h>

#include <atomic>
#include <future>
#include <optional>
#include <string>
#include <thread>

namespace {

using platform::net::Connection;
using platform::net::IoStatus;
using platform::net::ReadResult;
using platform::net::TcpServer;
using namespace std::chrono_literals;

// Sends back whatever comes until the connection ends.
void echo(Connection& connection)
{
    for (;;) {
        ReadResult got = connection.readSome(4096);
        if (!got.ok() || !connection.write(got.bytes))
            return;
    }
}

// A blocking client on 127.0.0.1. Its reads give up after a while so a
// server fault fails the test instead of hanging it.
class Client {
public:
    explicit Client(std::uint16_t port) : socket_(io_)
    {
        socket_.connect({asio::ip::make_address("127.0.0.1"), port});
        timeval limit{10, 0};
        ::setsockopt(socket_.native_handle(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    }

    void send(const std::string& text) { asio::write(socket_, asio::buffer(text)); }

    // n bytes, or nothing when the server closed (or went silent) first.
    std::optional<std::string> receive(std::size_t n)
    {
        std::string text(n, '\0');
        asio::error_code ec;
        asio::read(socket_, asio::buffer(text), ec);
        if (ec)
            return std::nullopt;
        return text;
    }

    std::optional<std::string> roundTrip(const std::string& text)
    {
        send(text);
        return receive(text.size());
    }

    // True when the server has closed this connection.
    bool closedByServer()
    {
        char byte;
        asio::error_code ec;
        socket_.read_some(asio::buffer(&byte, 1), ec);
        return ec == asio::error::eof || ec == asio::error::connection_reset;
    }

    void close() { socket_.close(); }

private:
    asio::io_context io_;
    asio::ip::tcp::socket socket_;
};

TcpServer::Options localOptions()
{
    TcpServer::Options options;
    options.bindAddress = "127.0.0.1";
    return options;
}

void waitForCount(const TcpServer& server, std::size_t count)
{
    while (server.connectionCount() != count)
        std::this_thread::sleep_for(1ms);
}

TEST(TcpServer, EchoesOnAnyFreePort)
{
    TcpServer server;
    ASSERT_TRUE(server.start(localOptions(), echo)) << server.error();
    ASSERT_NE(server.port(), 0);
    Client client(server.port());
    EXPECT_EQ(client.roundTrip("hello"), "hello");
    EXPECT_EQ(client.roundTrip(std::string(10000, 'x')), std::string(10000, 'x'));
}

TEST(TcpServer, ServesTwoConnectionsAtOnce)
{
    TcpServer server;
    ASSERT_TRUE(server.start(localOptions(), echo)) << server.error();
    Client first(server.port());
    ASSERT_EQ(first.roundTrip("one"), "one");
    // The first handler is still blocked in its read; the second gets its
    // own thread.
    Client second(server.port());
    EXPECT_EQ(second.roundTrip("two"), "two");
    EXPECT_EQ(first.roundTrip("again"), "again");
    EXPECT_EQ(server.connectionCount(), 2u);
}

TEST(TcpServer, ConnectionsOverTheBoundAreClosedAtOnce)
{
    auto options = localOptions();
    options.maxConnections = 1;
    TcpServer server;
    ASSERT_TRUE(server.start(options, echo)) << server.error();

    auto first = std::make_unique<Client>(server.port());
    ASSERT_EQ(first->roundTrip("in"), "in");
    Client refused(server.port());
    EXPECT_TRUE(refused.closedByServer());
    EXPECT_EQ(first->roundTrip("still"), "still");

    // A place freed is a place for the next.
    first.reset();
    waitForCount(server, 0);
    Client next(server.port());
    EXPECT_EQ(next.roundTrip("next"), "next");
}

TEST(TcpServer, ReportsThePeersIPv4)
{
    std::promise<std::uint32_t> peer;
    TcpServer server;
    ASSERT_TRUE(server.start(localOptions(), [&](Connection& connection) { peer.set_value(connection.peerIPv4()); }))
        << server.error();
    Client client(server.port());
    EXPECT_EQ(peer.get_future().get(), 0x7f000001u);
}

TEST(TcpServer, AReadThatTimesOutKeepsWhatCameForTheNext)
{
    std::promise<IoStatus> firstRead;
    TcpServer server;
    ASSERT_TRUE(server.start(localOptions(), [&](Connection& connection) {
        firstRead.set_value(connection.read(4, 50ms).status);
        ReadResult whole = connection.read(4);
        if (whole.ok())
            connection.write(whole.bytes);
    })) << server.error();
    Client client(server.port());
    client.send("ab");
    EXPECT_EQ(firstRead.get_future().get(), IoStatus::Timeout);
    client.send("cd");
    EXPECT_EQ(client.receive(4), "abcd");
}

TEST(TcpServer, StopClosesOpenConnectionsAndJoinsTheirThreads)
{
    std::promise<IoStatus> ended;
    std::atomic<bool> returned{false};
    TcpServer server;
    ASSERT_TRUE(server.start(localOptions(), [&](Connection& connection) {
        ReadResult hello = connection.readSome(16);
        connection.write(hello.bytes);
        // Waits far longer than any test: only stop() can end it.
        ended.set_value(connection.read(1, std::chrono::hours(1)).status);
        returned = true;
    })) << server.error();
    Client client(server.port());
    ASSERT_EQ(client.roundTrip("hi"), "hi");

    server.stop();
    EXPECT_TRUE(returned);  // stop() came back only after the handler did
    EXPECT_EQ(ended.get_future().get(), IoStatus::Closed);
    EXPECT_FALSE(server.isRunning());
    EXPECT_EQ(server.connectionCount(), 0u);
    EXPECT_TRUE(client.closedByServer());
    EXPECT_THROW(Client{server.port()}, asio::system_error);  // nothing listens any more
}

TEST(TcpServer, StartRefusesWhatCannotBeListenedOn)
{
    TcpServer holder;
    ASSERT_TRUE(holder.start(localOptions(), echo)) << holder.error();

    struct Case {
        const char* name;
        std::string address;
        std::uint16_t port;
    };
    const Case cases[] = {
        {"not an address", "127.0.0", 0},
        {"port taken", "127.0.0.1", holder.port()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TcpServer server;
        TcpServer::Options options;
        options.bindAddress = c.address;
        options.port = c.port;
        EXPECT_FALSE(server.start(options, echo));
        EXPECT_FALSE(server.error().empty());
        EXPECT_FALSE(server.isRunning());
    }
    EXPECT_FALSE(holder.start(localOptions(), echo));  // already running
}

}  // namespace
