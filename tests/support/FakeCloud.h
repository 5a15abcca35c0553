#pragma once
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/HttpsTestServer.h"

// An HTTPS service on 127.0.0.1 standing in for the cloud service and for
// the encoders' health endpoint: a certificate for 127.0.0.1 made by openssl
// for the run, scripted answers per path, and a record of every request
// with its method, path, query, headers, form fields in order and multipart
// parts.
class FakeCloud {
public:
    struct Answer {
        int status = 200;
        std::string body = "{}";
        std::string contentType = "application/json";
    };
    struct Part {
        std::string name;
        std::string fileName;
        std::string contentType;
        std::string data;
    };
    struct Request {
        std::string method;
        std::string path;
        std::string target; // path and query as sent
        std::multimap<std::string, std::string> headers;
        std::vector<std::pair<std::string, std::string>> fields;
        std::vector<Part> parts;
    };

    FakeCloud();
    ~FakeCloud();
    FakeCloud(const FakeCloud&) = delete;
    FakeCloud& operator=(const FakeCloud&) = delete;

    bool ready() const { return server_->ready(); }
    // Stops listening: the port then refuses connections.
    void stop();

    int port() const { return server_->port(); }
    // "127.0.0.1:port", as the cloud address is configured.
    std::string host() const { return "127.0.0.1:" + std::to_string(port()); }
    std::string url(const std::string& path) const { return "https://" + host() + path; }
    const std::string& certFile() const { return server_->certFile(); }

    // The answer to every method on the path; unscripted paths get {}.
    void answer(const std::string& path, Answer answer);
    // While held, requests are recorded at once but answered only after
    // release(): a test can act while a caller waits for the service.
    void hold();
    void release();

    std::vector<Request> requests() const;
    // Waits until at least n requests have come; false after the time-out.
    bool waitForRequests(std::size_t n, std::chrono::milliseconds timeout) const;

private:
    void route(httplib::Server& server);
    Answer scripted(const std::string& path) const;
    void waitWhileHeld();

    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    std::map<std::string, Answer> answers_;
    std::vector<Request> requests_;
    bool held_ = false;
    // Last: it answers from its own thread with the members above.
    std::unique_ptr<HttpsTestServer> server_;
};
