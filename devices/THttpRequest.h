#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/net/HttpRequest.h"

// An HTTPS request object of the desk: its own client (with its cookies and
// TLS settings), the form fields, body or multipart parts of the next
// request, the extra header lines and the answer of the last one. One
// request at a time; the owner keeps it as long as it likes and reuses it
// (the encoders' health check keeps one per encoder).
//
// Certificates are checked against the system's CAs; Client() reaches the
// settings (a CA file, the acceptance of a device's self-signed certificate,
// the time-outs).
class THttpRequest {
public:
    // The methods of DoRequest.
    static constexpr int MetodaGet = 0;
    static constexpr int MetodaPost = 1;
    static constexpr int MetodaDelete = 2;
    static constexpr int MetodaPut = 3;

    THttpRequest();
    // A request still running on another thread is cancelled first and
    // waited for.
    virtual ~THttpRequest();
    THttpRequest(const THttpRequest&) = delete;
    THttpRequest& operator=(const THttpRequest&) = delete;

    // Form fields of the next POST, in order; a name may repeat. When any is
    // set, a POST sends them and ignores the parts and the body.
    std::vector<std::pair<std::string, std::string>>& Params() { return params_; }
    // The multipart body of a POST without form fields.
    std::vector<platform::net::MultipartPart>& Multipart() { return multipart_; }
    // The body of a PUT, and of a POST without fields or parts.
    void SetSourceStream(std::string body, std::string contentType);

    // n not 0 adds the line "Api-version: n"; 0 removes every such line.
    void SetApiVersion(int n);
    // A token adds the line "Authorization: Bearer token" (a second call
    // adds a second line); an empty token removes every such line.
    void SetBearerToken(const std::string& token);

    bool Get(const std::string& url) { return DoRequest(MetodaGet, url); }
    bool Post(const std::string& url) { return DoRequest(MetodaPost, url); }
    // True for every completed exchange whatever its status (the caller reads
    // ResponseCode); false when no answer came: socket, TLS, protocol
    // failure or time-out. Each answer replaces the previous one. Failures
    // and error statuses go to the exception log.
    bool DoRequest(int method, const std::string& url);

    bool Busy() const { return busy_; }
    long ResponseCode() const { return client_.status(); }
    const std::vector<std::uint8_t>& Response() const { return client_.response(); }
    std::string ResponseText() const { return client_.responseText(); }
    // The system's error number of the last request's socket failure, 0 when
    // none.
    long LastSocketError() const { return client_.osError(); }
    const std::string& LastError() const { return client_.error(); }

    platform::net::HttpRequest& Client() { return client_; }

private:
    platform::net::HttpRequest client_;
    std::atomic<bool> busy_{false};
    std::vector<std::pair<std::string, std::string>> params_;
    std::vector<platform::net::MultipartPart> multipart_;
    std::string body_;
    std::string bodyType_;
};
