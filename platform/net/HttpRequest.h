#pragma once
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::net {

enum class Method { Get, Post, Put, Delete };

// One part of a multipart/form-data body.
struct MultipartPart {
    std::string name;
    std::string data;
    // Empty: a plain field. Otherwise sent as the part's filename.
    std::string fileName;
    // Empty: none (the receiver takes text/plain).
    std::string contentType;
    // Further header lines of this part, "Name: value" each.
    std::vector<std::string> headers;
};

// An HTTP(S) client over libcurl: one object is one client. Each request runs
// on an easy handle of its own, and the object keeps a curl share handle for
// its whole life holding the cookie jar (in memory, never a file): the
// cookies one answer sets go with the next request of the same object, and
// never with another object's.
//
// One request at a time per object, and an object belongs to one thread at a
// time: curl handles are never shared across threads. Only cancel() may be
// called from another thread.
//
// Every request has a connect and a transfer time-out, so a peer that accepts
// and then says nothing cannot hold a cloud or health-check thread for good.
//
// The result of a request is true for every completed exchange, whatever the
// HTTP status: callers read status() and accept what they expect. It is false
// for socket, TLS and protocol failures, for a time-out, and for an answer
// larger than the response limit; error() then says why.
class HttpRequest {
public:
    using Duration = std::chrono::milliseconds;

    static constexpr Duration defaultConnectTimeout{10'000};
    static constexpr Duration defaultTransferTimeout{30'000};
    // The cloud's answers are small JSON documents; anything near this size
    // is a fault or an attack, not an answer.
    static constexpr std::size_t defaultResponseLimit = 16u << 20;

    HttpRequest();
    ~HttpRequest();
    HttpRequest(const HttpRequest&) = delete;
    HttpRequest& operator=(const HttpRequest&) = delete;

    void setConnectTimeout(Duration timeout) { connectTimeout_ = timeout; }
    // The whole exchange, connecting included.
    void setTransferTimeout(Duration timeout) { transferTimeout_ = timeout; }
    void setResponseLimit(std::size_t bytes) { responseLimit_ = bytes; }

    // Certificates are checked against the system's CAs unless a CA file
    // (PEM) is given; an empty path goes back to the system's.
    void setCaFile(std::string path) { caFile_ = std::move(path); }
    // For the encoders' own self-signed certificates, which chain to no CA
    // and name no host: turns off the checks of chain and name for this
    // client. TLS 1.2 or later is still required.
    void setAcceptSelfSigned(bool accept) { acceptSelfSigned_ = accept; }

    // Form fields of a POST, sent URL-encoded in the order added; a name may
    // repeat. They stay for later POSTs until cleared.
    void addField(std::string name, std::string value);
    void clearFields() { fields_.clear(); }
    const std::vector<std::pair<std::string, std::string>>& fields() const { return fields_; }

    // Parts of a multipart POST, used when no form field is set.
    void addPart(MultipartPart part) { parts_.push_back(std::move(part)); }
    void clearParts() { parts_.clear(); }

    // The body of a PUT, and of a POST without fields or parts.
    void setBody(std::string body, std::string contentType);

    // Extra header lines. addHeader appends even when the name is there
    // already (two bearer tokens give two lines, as callers have always
    // had); setHeader replaces every line of that name; removeHeader drops
    // every line of that name. Names compare without regard to case.
    void addHeader(std::string_view name, std::string_view value);
    void setHeader(std::string_view name, std::string_view value);
    void removeHeader(std::string_view name);
    const std::vector<std::string>& headers() const { return headers_; }

    bool perform(Method method, const std::string& url);
    bool get(const std::string& url) { return perform(Method::Get, url); }
    bool post(const std::string& url) { return perform(Method::Post, url); }
    bool put(const std::string& url) { return perform(Method::Put, url); }
    bool del(const std::string& url) { return perform(Method::Delete, url); }

    // Makes the running request, and every later one, fail at once. For
    // shutting down: an owner that must go while its request waits on a
    // slow server calls this from its own thread, then joins the request's.
    void cancel() { cancelled_ = true; }

    // Of the last request: the HTTP status (0 when no answer came), the body
    // (only this answer's), the failure text (empty after success) and the
    // system's error number of a socket failure (0 when none).
    long status() const { return status_; }
    const std::vector<std::uint8_t>& response() const { return response_; }
    std::string responseText() const { return {response_.begin(), response_.end()}; }
    const std::string& error() const { return error_; }
    long osError() const { return osError_; }

private:
    static std::size_t onData(char* data, std::size_t size, std::size_t count, void* self);
    static int onProgress(void* self, long long, long long, long long, long long);
    void fail(std::string text);

    void* share_ = nullptr;  // CURLSH*, kept out of this header
    Duration connectTimeout_ = defaultConnectTimeout;
    Duration transferTimeout_ = defaultTransferTimeout;
    std::size_t responseLimit_ = defaultResponseLimit;
    std::string caFile_;
    bool acceptSelfSigned_ = false;
    std::vector<std::pair<std::string, std::string>> fields_;
    std::vector<MultipartPart> parts_;
    std::string body_;
    std::string bodyType_;
    std::vector<std::string> headers_;
    std::atomic<bool> cancelled_{false};
    bool overLimit_ = false;

    long status_ = 0;
    std::vector<std::uint8_t> response_;
    std::string error_;
    long osError_ = 0;
};

}  // namespace platform::net
