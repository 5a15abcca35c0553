#include "tests/support/ServerRelay.h"
#include "tests/support/TestDatabase.h"

#include <gmock/gmock.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace {

using Session = std::unique_ptr<PGconn, decltype(&PQfinish)>;

// The text back from the server, or nullopt when the statement failed. Large
// enough that both directions fill the relay's buffers and its writes come
// out partial.
std::optional<std::string> echo(PGconn* conn, const std::string& text)
{
    const char* values[] = {text.c_str()};
    PGresult* res = PQexecParams(conn, "SELECT $1::text", 1, nullptr, values, nullptr, nullptr, 0);
    std::optional<std::string> out;
    if (PQresultStatus(res) == PGRES_TUPLES_OK && PQntuples(res) == 1)
        out = PQgetvalue(res, 0, 0);
    PQclear(res);
    return out;
}

// Sends the bytes on one socket and then closes it, while the other is read
// until the end; returns what was read. The reader takes one chunk a round,
// so every buffer in between stays full: the relay's writes come out partial
// and the close finds bytes still on their way.
std::string pump(int from, int to, const std::string& bytes)
{
    std::string got;
    std::size_t sent = 0;
    for (;;) {
        if (sent < bytes.size()) {
            ssize_t n;
            while (sent < bytes.size() &&
                   (n = ::send(from, bytes.data() + sent, bytes.size() - sent, MSG_DONTWAIT | MSG_NOSIGNAL)) > 0)
                sent += static_cast<std::size_t>(n);
            if (sent == bytes.size())
                ::close(from);
        }
        pollfd p{to, POLLIN, 0};
        // A guard against a relay that has lost bytes, not a bound on speed.
        if (::poll(&p, 1, 10000) <= 0) {
            ADD_FAILURE() << "nothing came after " << sent << " bytes sent and " << got.size() << " read";
            return got;
        }
        char chunk[65536];
        const ssize_t n = ::recv(to, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n == 0)
            return got;
        if (n > 0)
            got.append(chunk, static_cast<std::size_t>(n));
    }
}

} // namespace

// Without the cluster: the relay between two sockets of the test, where each
// side can be made to fall behind.
TEST(ServerRelay, ForwardsEveryByteAndTheCloseWhenOneSideFallsBehind)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    ServerRelay relay("127.0.0.1", ntohs(address.sin_port));

    std::string bytes(8 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i % 251);
    for (const bool toServer : {true, false}) {
        SCOPED_TRACE(toServer ? "client to server" : "server to client");
        const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in relayAddress = address;
        relayAddress.sin_port = htons(static_cast<std::uint16_t>(relay.port()));
        ASSERT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&relayAddress), sizeof relayAddress), 0);
        const int server = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        ASSERT_GE(server, 0);
        // pump() closes the sender; the other end is closed here.
        const std::string got = toServer ? pump(client, server, bytes) : pump(server, client, bytes);
        ::close(toServer ? server : client);
        EXPECT_EQ(got.size(), bytes.size());
        EXPECT_TRUE(got == bytes);
    }
    ::close(listener);
}

class ServerRelayTest : public TestDatabase {
protected:
    Session connectThrough(const ServerRelay& relay, int timeoutSeconds)
    {
        // Later keywords win over the fixture's own.
        const std::string info = conninfo() + " host=127.0.0.1 hostaddr=127.0.0.1 port=" +
                                 std::to_string(relay.port()) +
                                 " connect_timeout=" + std::to_string(timeoutSeconds);
        return Session(PQconnectdb(info.c_str()), &PQfinish);
    }
};

TEST_F(ServerRelayTest, PlaysTheWaysAServerGoesAway)
{
    using Mode = ServerRelay::Mode;
    enum class Connect { Works, TimesOut, Refused };
    // What a session opened before the step gets for its next query.
    enum class Open { Answers, NoAnswer, Lost };
    struct Case {
        std::string_view name;
        std::function<void(ServerRelay&)> step;
        Connect connect;
        Open open;
    };
    const Case cases[] = {
        {"forward", [](ServerRelay& r) { r.setMode(Mode::Forward); }, Connect::Works, Open::Answers},
        {"silent", [](ServerRelay& r) { r.setMode(Mode::Silent); }, Connect::TimesOut, Open::NoAnswer},
        {"leaving silent resets held sessions",
         [](ServerRelay& r) {
             r.setMode(Mode::Silent);
             r.setMode(Mode::Forward);
         },
         Connect::Works, Open::Lost},
        {"refuse", [](ServerRelay& r) { r.setMode(Mode::Refuse); }, Connect::Refused, Open::Lost},
        {"forward again after refusing",
         [](ServerRelay& r) {
             r.setMode(Mode::Refuse);
             r.setMode(Mode::Forward);
         },
         Connect::Works, Open::Lost},
        {"sessions dropped", [](ServerRelay& r) { r.dropConnections(); }, Connect::Works, Open::Lost},
    };

    const std::string text(2 * 1024 * 1024, 'k');
    ServerRelay relay(host(), port());
    int reached = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        relay.setMode(Mode::Forward);
        Session open = connectThrough(relay, 10);
        ++reached;
        ASSERT_EQ(PQstatus(open.get()), CONNECTION_OK) << PQerrorMessage(open.get());
        c.step(relay);

        switch (c.open) {
        case Open::Answers:
            EXPECT_EQ(echo(open.get(), text), text);
            break;
        case Open::NoAnswer: {
            ASSERT_EQ(PQsendQuery(open.get(), "SELECT 1"), 1) << PQerrorMessage(open.get());
            pollfd p{PQsocket(open.get()), POLLIN, 0};
            EXPECT_EQ(::poll(&p, 1, 300), 0) << "the session got an answer or was closed";
            break;
        }
        case Open::Lost:
            EXPECT_EQ(echo(open.get(), "1"), std::nullopt);
            EXPECT_EQ(PQstatus(open.get()), CONNECTION_BAD);
            break;
        }

        Session fresh = connectThrough(relay, c.connect == Connect::TimesOut ? 1 : 10);
        const std::string error = PQerrorMessage(fresh.get());
        if (c.connect != Connect::Refused)
            ++reached;
        switch (c.connect) {
        case Connect::Works:
            ASSERT_EQ(PQstatus(fresh.get()), CONNECTION_OK) << error;
            EXPECT_EQ(echo(fresh.get(), text), text);
            break;
        case Connect::TimesOut:
            EXPECT_EQ(PQstatus(fresh.get()), CONNECTION_BAD);
            EXPECT_THAT(error, ::testing::HasSubstr("timeout expired"));
            break;
        case Connect::Refused:
            EXPECT_EQ(PQstatus(fresh.get()), CONNECTION_BAD);
            EXPECT_THAT(error, ::testing::HasSubstr("Connection refused"));
            break;
        }
    }
    EXPECT_EQ(relay.acceptedCount(), reached);
}
