#pragma once
#include <httplib.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

// An HTTPS server on 127.0.0.1 for tests, with a certificate for 127.0.0.1
// made by openssl for the run: a client must refuse it until told to trust
// certFile(). The routes are set by the caller before it listens. ready() is
// false when openssl or the server could not start.
class HttpsTestServer {
public:
    explicit HttpsTestServer(const std::function<void(httplib::Server&)>& route);
    ~HttpsTestServer();
    HttpsTestServer(const HttpsTestServer&) = delete;
    HttpsTestServer& operator=(const HttpsTestServer&) = delete;

    bool ready() const { return thread_.joinable(); }
    // Stops listening: the port then refuses connections.
    void stop();
    int port() const { return port_; }
    const std::string& certFile() const { return cert_; }

private:
    std::filesystem::path folder_;
    std::string cert_;
    std::unique_ptr<httplib::SSLServer> server_;
    int port_ = 0;
    std::thread thread_;
};
