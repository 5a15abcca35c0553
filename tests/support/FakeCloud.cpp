#include "tests/support/FakeCloud.h"

#include <httplib.h>

namespace {

// The fields of an URL-encoded form in the order they came; the server's
// own parser keeps a map, which loses it.
std::vector<std::pair<std::string, std::string>> formFields(const std::string& body) {
    std::vector<std::pair<std::string, std::string>> fields;
    std::size_t start = 0;
    while (start < body.size()) {
        std::size_t end = body.find('&', start);
        if (end == std::string::npos)
            end = body.size();
        const std::string pair = body.substr(start, end - start);
        const std::size_t equals = pair.find('=');
        fields.emplace_back(httplib::detail::decode_url(pair.substr(0, equals), true),
                            equals == std::string::npos ? std::string()
                                                        : httplib::detail::decode_url(pair.substr(equals + 1), true));
        start = end + 1;
    }
    return fields;
}

} // namespace

FakeCloud::FakeCloud()
    : server_(std::make_unique<HttpsTestServer>([this](httplib::Server& server) { route(server); })) {}

FakeCloud::~FakeCloud() {
    release();
    stop();
}

void FakeCloud::stop() { server_->stop(); }

void FakeCloud::answer(const std::string& path, Answer answer) {
    std::lock_guard guard(lock_);
    answers_[path] = std::move(answer);
}

void FakeCloud::hold() {
    std::lock_guard guard(lock_);
    held_ = true;
}

void FakeCloud::release() {
    std::lock_guard guard(lock_);
    held_ = false;
    changed_.notify_all();
}

std::vector<FakeCloud::Request> FakeCloud::requests() const {
    std::lock_guard guard(lock_);
    return requests_;
}

bool FakeCloud::waitForRequests(std::size_t n, std::chrono::milliseconds timeout) const {
    std::unique_lock guard(lock_);
    return changed_.wait_for(guard, timeout, [&] { return requests_.size() >= n; });
}

FakeCloud::Answer FakeCloud::scripted(const std::string& path) const {
    std::lock_guard guard(lock_);
    const auto it = answers_.find(path);
    return it == answers_.end() ? Answer{} : it->second;
}

void FakeCloud::waitWhileHeld() {
    std::unique_lock guard(lock_);
    changed_.wait(guard, [&] { return !held_; });
}

void FakeCloud::route(httplib::Server& server) {
    const auto serve = [this](const httplib::Request& req, httplib::Response& res, Request recorded) {
        recorded.method = req.method;
        recorded.path = req.path;
        recorded.target = req.target;
        for (const auto& [name, value] : req.headers)
            recorded.headers.emplace(name, value);
        {
            std::lock_guard guard(lock_);
            requests_.push_back(std::move(recorded));
            changed_.notify_all();
        }
        waitWhileHeld();
        const Answer answer = scripted(req.path);
        res.status = answer.status;
        res.set_content(answer.body, answer.contentType.c_str());
    };
    const auto withBody = [serve](const httplib::Request& req, httplib::Response& res,
                                  const httplib::ContentReader& reader) {
        Request recorded;
        if (req.is_multipart_form_data()) {
            reader(
                [&](const httplib::MultipartFormData& header) {
                    recorded.parts.push_back({header.name, header.filename, header.content_type, ""});
                    return true;
                },
                [&](const char* data, std::size_t size) {
                    recorded.parts.back().data.append(data, size);
                    return true;
                });
        } else {
            std::string body;
            reader([&](const char* data, std::size_t size) {
                body.append(data, size);
                return true;
            });
            if (req.get_header_value("Content-Type").starts_with("application/x-www-form-urlencoded"))
                recorded.fields = formFields(body);
        }
        serve(req, res, std::move(recorded));
    };
    const auto withoutBody = [serve](const httplib::Request& req, httplib::Response& res) { serve(req, res, {}); };
    server.Get(".*", withoutBody);
    server.Delete(".*", withoutBody);
    server.Post(".*", withBody);
    server.Put(".*", withBody);
}
