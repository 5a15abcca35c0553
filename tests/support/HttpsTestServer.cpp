#include "tests/support/HttpsTestServer.h"

#include <chrono>
#include <cstdlib>

HttpsTestServer::HttpsTestServer(const std::function<void(httplib::Server&)>& route) {
    std::string pattern = (std::filesystem::temp_directory_path() / "kandor-https-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return;
    folder_ = pattern;
    cert_ = (folder_ / "cert.pem").string();
    const std::string key = (folder_ / "key.pem").string();
    const std::string command = "openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=127.0.0.1"
                                " -addext subjectAltName=IP:127.0.0.1 -days 1 -keyout '" +
                                key + "' -out '" + cert_ + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return;
    server_ = std::make_unique<httplib::SSLServer>(cert_.c_str(), key.c_str());
    if (!server_->is_valid())
        return;
    route(*server_);
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0)
        return;
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() does nothing until the loop runs, so wait for it.
    while (!server_->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

HttpsTestServer::~HttpsTestServer() {
    stop();
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

void HttpsTestServer::stop() {
    if (thread_.joinable()) {
        server_->stop();
        thread_.join();
    }
}
