#include "platform/net/HttpRequest.h"
#include "platform/net/TcpServer.h"

#include <httplib.h>

#include "tests/support/HttpsTestServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

namespace {

using platform::net::HttpRequest;
using platform::net::Method;
using platform::net::MultipartPart;

// A certificate for 127.0.0.1, made fresh for the run, and an HTTPS server on
// 127.0.0.1 using it: the client must refuse it until told to trust it.
class HttpsPeer {
public:
    HttpsPeer() : server_(route) {}

    bool ready() const { return server_.ready(); }
    const std::string& certFile() const { return server_.certFile(); }
    std::string url(const std::string& path) const
    {
        return "https://127.0.0.1:" + std::to_string(server_.port()) + path;
    }

private:
    static void route(httplib::Server& server)
    {
        server.Get("/ok", [](const httplib::Request&, httplib::Response& res) { res.set_content("hello", "text/plain"); });
        server.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
            res.status = 404;
            res.set_content("nope", "text/plain");
        });
        // The body as it came, with its type first, so tests see the exact
        // encoding and order.
        server.Post("/raw", [](const httplib::Request& req, httplib::Response& res,
                               const httplib::ContentReader& reader) {
            std::string body;
            reader([&](const char* data, size_t size) {
                body.append(data, size);
                return true;
            });
            res.set_content(req.get_header_value("Content-Type") + "\n" + body, "text/plain");
        });
        const auto methodEcho = [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(req.method + ":" + req.body, "text/plain");
        };
        server.Put("/method", methodEcho);
        server.Delete("/method", methodEcho);
        server.Get("/headers", [](const httplib::Request& req, httplib::Response& res) {
            std::string lines;
            for (const auto& [name, value] : req.headers)
                lines += name + ": " + value + "\n";
            res.set_content(lines, "text/plain");
        });
        server.Get("/set-cookie", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Set-Cookie", "session=abc; Path=/");
            res.set_content("set", "text/plain");
        });
        server.Get("/cookie", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(req.get_header_value("Cookie"), "text/plain");
        });
    }

    HttpsTestServer server_;
};

class HttpRequestTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { peer_ = new HttpsPeer; }
    static void TearDownTestSuite()
    {
        delete peer_;
        peer_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(peer_->ready()) << "HTTPS peer did not start (openssl, port)"; }

    // A client that trusts the peer's certificate, as the cloud calls will
    // trust the cloud's through the system's CAs.
    static std::unique_ptr<HttpRequest> client()
    {
        auto request = std::make_unique<HttpRequest>();
        request->setCaFile(peer_->certFile());
        return request;
    }

    static HttpsPeer* peer_;
};

HttpsPeer* HttpRequestTest::peer_ = nullptr;

// A TCP listener that accepts at the kernel level and never says a word: the
// TLS handshake waits for ever.
class SilentListener {
public:
    SilentListener()
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(fd_, 4) == 0 &&
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
    }
    ~SilentListener()
    {
        if (accepted_ >= 0)
            ::close(accepted_);
        ::close(fd_);
    }
    // Returns once a client has connected: its request is then under way.
    void acceptOne() { accepted_ = ::accept(fd_, nullptr, nullptr); }
    std::string url() const { return "https://127.0.0.1:" + std::to_string(port_) + "/"; }

private:
    int fd_ = -1;
    int accepted_ = -1;
    int port_ = 0;
};

TEST_F(HttpRequestTest, EveryCompletedExchangeIsTrueAndTheStatusTellsTheOutcome)
{
    auto request = client();
    ASSERT_TRUE(request->get(peer_->url("/ok"))) << request->error();
    EXPECT_EQ(request->status(), 200);
    EXPECT_EQ(request->responseText(), "hello");
    EXPECT_TRUE(request->error().empty());

    // A second request on the same object: only its own answer is kept.
    ASSERT_TRUE(request->get(peer_->url("/missing"))) << request->error();
    EXPECT_EQ(request->status(), 404);
    EXPECT_EQ(request->responseText(), "nope");
}

TEST_F(HttpRequestTest, FormFieldsGoUrlEncodedInOrderAndWinOverParts)
{
    auto request = client();
    request->addField("token", "a b&c");
    request->addField("mail", "x@y.pl");
    request->addField("token", "zażółć");
    // Fields and parts both set: the fields are sent, the parts are not.
    request->addPart({"ignored", "data", "", "", {}});
    ASSERT_TRUE(request->post(peer_->url("/raw"))) << request->error();
    EXPECT_EQ(request->status(), 200);
    EXPECT_EQ(request->responseText(), "application/x-www-form-urlencoded\n"
                                       "token=a%20b%26c&mail=x%40y.pl&token=za%C5%BC%C3%B3%C5%82%C4%87");
}

// The HTTPS peer's parser keeps no header of a part beyond its type, so the
// parts are checked on the wire: a plain-HTTP peer that answers with the
// request exactly as it came.
class CapturePeer {
public:
    CapturePeer()
    {
        platform::net::TcpServer::Options options;
        options.bindAddress = "127.0.0.1";
        started_ = server_.start(options, [](platform::net::Connection& connection) {
            std::string request;
            std::size_t headEnd;
            while ((headEnd = request.find("\r\n\r\n")) == std::string::npos) {
                auto got = connection.readSome(4096);
                if (!got.ok())
                    return;
                request.append(got.bytes.begin(), got.bytes.end());
            }
            const std::string head = request.substr(0, headEnd);
            const auto at = head.find("Content-Length: ");
            const std::size_t length = at == std::string::npos ? 0 : std::stoul(head.substr(at + 16));
            const std::size_t total = headEnd + 4 + length;
            if (request.size() < total) {
                auto rest = connection.read(total - request.size());
                if (!rest.ok())
                    return;
                request.append(rest.bytes.begin(), rest.bytes.end());
            }
            const std::string answer = "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: " +
                                       std::to_string(request.size()) + "\r\n\r\n" + request;
            connection.write({reinterpret_cast<const std::uint8_t*>(answer.data()), answer.size()});
        });
    }
    bool ready() const { return started_; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(server_.port()) + "/parts"; }

private:
    platform::net::TcpServer server_;
    bool started_ = false;
};

TEST(HttpRequestMultipart, PartsCarryTheirOwnHeadersInOrder)
{
    CapturePeer peer;
    ASSERT_TRUE(peer.ready());
    HttpRequest request;
    request.addPart({"note", "first", "", "", {}});
    request.addPart({"photo", std::string("\x00\xff\x01", 3), "a.jpg", "image/jpeg", {"X-Part: 7"}});
    ASSERT_TRUE(request.post(peer.url())) << request.error();
    const std::string wire = request.responseText();
    ASSERT_NE(wire.find("Content-Type: multipart/form-data; boundary="), std::string::npos) << wire;
    for (const char* expected :
         {"Content-Disposition: form-data; name=\"note\"\r\n\r\nfirst\r\n",
          "Content-Disposition: form-data; name=\"photo\"; filename=\"a.jpg\"\r\n", "Content-Type: image/jpeg\r\n",
          "X-Part: 7\r\n"}) {
        EXPECT_NE(wire.find(expected), std::string::npos) << expected << "\nin\n" << wire;
    }
    EXPECT_NE(wire.find(std::string("\r\n\r\n\x00\xff\x01\r\n", 9)), std::string::npos) << wire;
    EXPECT_LT(wire.find("name=\"note\""), wire.find("name=\"photo\""));
}

TEST_F(HttpRequestTest, PutAndDeleteSendTheirMethodAndBody)
{
    struct Case {
        const char* name;
        Method method;
        std::string body;
        std::string expected;
    };
    const Case cases[] = {
        {"put with body", Method::Put, "{\"a\":1}", "PUT:{\"a\":1}"},
        {"put empty", Method::Put, "", "PUT:"},
        {"delete", Method::Delete, "", "DELETE:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto request = client();
        request->setBody(c.body, "application/json");
        ASSERT_TRUE(request->perform(c.method, peer_->url("/method"))) << request->error();
        EXPECT_EQ(request->status(), 200);
        EXPECT_EQ(request->responseText(), c.expected);
    }
}

TEST_F(HttpRequestTest, HeaderLinesFollowAddsAndRemoves)
{
    auto request = client();
    request->addHeader("Api-version", "2");
    request->addHeader("Authorization", "Bearer one");
    request->addHeader("Authorization", "Bearer two");
    request->setHeader("X-Desk", "first");
    request->setHeader("X-Desk", "second");
    request->removeHeader("api-version");
    request->removeHeader("X-Absent");
    ASSERT_TRUE(request->get(peer_->url("/headers"))) << request->error();
    const std::string lines = request->responseText();

    struct Case {
        const char* line;
        bool present;
    };
    const Case cases[] = {
        {"Api-version: 2\n", false},       {"Authorization: Bearer one\n", true},
        {"Authorization: Bearer two\n", true}, {"X-Desk: first\n", false},
        {"X-Desk: second\n", true},        {"User-Agent: Kandor\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(lines.find(c.line) != std::string::npos, c.present) << lines;
    }
}

TEST_F(HttpRequestTest, CookiesStayWithTheirClient)
{
    auto first = client();
    auto second = client();
    ASSERT_TRUE(first->get(peer_->url("/set-cookie"))) << first->error();
    ASSERT_TRUE(first->get(peer_->url("/cookie"))) << first->error();
    EXPECT_EQ(first->responseText(), "session=abc");
    ASSERT_TRUE(second->get(peer_->url("/cookie"))) << second->error();
    EXPECT_EQ(second->responseText(), "");
}

TEST_F(HttpRequestTest, AnUntrustedCertificateIsRefusedUnlessTrustedOrSelfSignedIsAccepted)
{
    struct Case {
        const char* name;
        bool caFile;
        bool acceptSelfSigned;
        bool completes;
    };
    const Case cases[] = {
        {"system CAs only", false, false, false},
        {"the certificate as CA file", true, false, true},
        {"self-signed accepted", false, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HttpRequest request;
        if (c.caFile)
            request.setCaFile(peer_->certFile());
        request.setAcceptSelfSigned(c.acceptSelfSigned);
        EXPECT_EQ(request.get(peer_->url("/ok")), c.completes) << request.error();
        EXPECT_EQ(request.status(), c.completes ? 200 : 0);
        EXPECT_EQ(request.error().empty(), c.completes) << request.error();
    }
}

TEST_F(HttpRequestTest, AnAnswerOverTheLimitFails)
{
    auto request = client();
    request->setResponseLimit(4);
    EXPECT_FALSE(request->get(peer_->url("/ok")));
    EXPECT_TRUE(request->response().empty());
    EXPECT_NE(request->error().find("larger than 4"), std::string::npos) << request->error();
}

TEST(HttpRequestFailure, ARefusedConnectionIsFalseWithTheSocketError)
{
    // A port that was free a moment ago: nothing listens there now.
    int port = 0;
    {
        SilentListener listener;
        port = std::stoi(listener.url().substr(std::string("https://127.0.0.1:").size()));
    }
    HttpRequest request;
    EXPECT_FALSE(request.get("https://127.0.0.1:" + std::to_string(port) + "/"));
    EXPECT_EQ(request.status(), 0);
    EXPECT_EQ(request.osError(), ECONNREFUSED);
    EXPECT_FALSE(request.error().empty());
}

TEST(HttpRequestFailure, ASilentServerRunsIntoTheTransferTimeout)
{
    SilentListener listener;
    HttpRequest request;
    request.setTransferTimeout(std::chrono::milliseconds(300));
    EXPECT_FALSE(request.get(listener.url()));
    EXPECT_NE(request.error().find("Timeout"), std::string::npos) << request.error();
}

TEST(HttpRequestFailure, CancelEndsARequestWaitingOnASilentServer)
{
    SilentListener listener;
    HttpRequest request;
    request.setTransferTimeout(std::chrono::minutes(10));
    bool result = true;
    std::thread worker([&] { result = request.get(listener.url()); });
    listener.acceptOne();
    request.cancel();
    worker.join();
    EXPECT_FALSE(result);
    EXPECT_EQ(request.error(), "cancelled");
}

}  // namespace
