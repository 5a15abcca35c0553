#include "devices/THttpRequest.h"

#include <chrono>
#include <thread>

#include "core/ZapiszWyjatek.h"

THttpRequest::THttpRequest() = default;

THttpRequest::~THttpRequest() {
    if (busy_) {
        client_.cancel();
        while (busy_)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void THttpRequest::SetSourceStream(std::string body, std::string contentType) {
    body_ = std::move(body);
    bodyType_ = std::move(contentType);
}

void THttpRequest::SetApiVersion(int n) {
    if (n == 0)
        client_.removeHeader("Api-version");
    else
        client_.addHeader("Api-version", std::to_string(n));
}

void THttpRequest::SetBearerToken(const std::string& token) {
    if (token.empty())
        client_.removeHeader("Authorization");
    else
        client_.addHeader("Authorization", "Bearer " + token);
}

namespace {

// The address without its query: a health check's query carries the
// encoder's token, which has no place in a log.
std::string BezZapytania(const std::string& url) { return url.substr(0, url.find('?')); }

} // namespace

bool THttpRequest::DoRequest(int method, const std::string& url) {
    using platform::net::Method;
    busy_ = true;
    client_.clearFields();
    client_.clearParts();
    for (const auto& [name, value] : params_)
        client_.addField(name, value);
    for (const auto& part : multipart_)
        client_.addPart(part);
    client_.setBody(body_, bodyType_);

    bool wynik = false;
    switch (method) {
    case MetodaGet:
        wynik = client_.perform(Method::Get, url);
        break;
    case MetodaPost:
        wynik = client_.perform(Method::Post, url);
        break;
    case MetodaDelete:
        wynik = client_.perform(Method::Delete, url);
        break;
    case MetodaPut:
        wynik = client_.perform(Method::Put, url);
        break;
    default:
        ZapiszWyjatek("unknown request method " + std::to_string(method), "HttpRequest", __LINE__);
        busy_ = false;
        return false;
    }
    if (!wynik)
        ZapiszWyjatek(BezZapytania(url) + ": " + client_.error(), "HttpRequest", __LINE__);
    else if (client_.status() >= 400)
        ZapiszWyjatek(BezZapytania(url) + ": HTTP " + std::to_string(client_.status()), "HttpRequest", __LINE__);
    busy_ = false;
    return wynik;
}
