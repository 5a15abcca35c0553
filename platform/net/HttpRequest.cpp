#include "platform/net/HttpRequest.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <mutex>

namespace platform::net {

namespace {

// curl_global_init is not thread-safe and must run before the first handle;
// requests start on several threads (cloud calls, one health check per
// encoder), so the first one does it under call_once. It is never undone:
// handles may live until the process ends.
void initialiseCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool sameName(std::string_view line, std::string_view name)
{
    if (line.size() <= name.size() || line[name.size()] != ':')
        return false;
    return std::equal(name.begin(), name.end(), line.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;

struct MimeDeleter {
    void operator()(curl_mime* mime) const { curl_mime_free(mime); }
};
using Mime = std::unique_ptr<curl_mime, MimeDeleter>;

// curl_slist_append copies the text; a null result means out of memory.
bool append(Slist& list, const std::string& line)
{
    curl_slist* grown = curl_slist_append(list.get(), line.c_str());
    if (!grown)
        return false;
    list.release();
    list.reset(grown);
    return true;
}

std::string escape(CURL* curl, const std::string& text)
{
    char* escaped = curl_easy_escape(curl, text.data(), static_cast<int>(text.size()));
    if (!escaped)
        return {};
    std::string result(escaped);
    curl_free(escaped);
    return result;
}

}  // namespace

HttpRequest::HttpRequest()
{
    initialiseCurl();
    CURLSH* share = curl_share_init();
    if (share) {
        curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
        curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    }
    share_ = share;
}

HttpRequest::~HttpRequest()
{
    if (share_)
        curl_share_cleanup(static_cast<CURLSH*>(share_));
}

void HttpRequest::addField(std::string name, std::string value)
{
    fields_.emplace_back(std::move(name), std::move(value));
}

void HttpRequest::setBody(std::string body, std::string contentType)
{
    body_ = std::move(body);
    bodyType_ = std::move(contentType);
}

void HttpRequest::addHeader(std::string_view name, std::string_view value)
{
    std::string line(name);
    line += ": ";
    line += value;
    headers_.push_back(std::move(line));
}

void HttpRequest::setHeader(std::string_view name, std::string_view value)
{
    removeHeader(name);
    addHeader(name, value);
}

void HttpRequest::removeHeader(std::string_view name)
{
    std::erase_if(headers_, [&](const std::string& line) { return sameName(line, name); });
}

std::size_t HttpRequest::onData(char* data, std::size_t size, std::size_t count, void* self)
{
    auto* request = static_cast<HttpRequest*>(self);
    const std::size_t bytes = size * count;
    if (request->response_.size() + bytes > request->responseLimit_) {
        request->overLimit_ = true;
        return 0;  // curl ends the transfer with a write error
    }
    request->response_.insert(request->response_.end(), data, data + bytes);
    return bytes;
}

int HttpRequest::onProgress(void* self, long long, long long, long long, long long)
{
    return static_cast<HttpRequest*>(self)->cancelled_ ? 1 : 0;
}

void HttpRequest::fail(std::string text)
{
    error_ = std::move(text);
}

bool HttpRequest::perform(Method method, const std::string& url)
{
    status_ = 0;
    response_.clear();
    error_.clear();
    osError_ = 0;
    overLimit_ = false;

    if (cancelled_) {
        fail("cancelled");
        return false;
    }
    // Declared before the handle, so the handle goes first: curl may touch
    // them while cleaning up.
    char errorBuffer[CURL_ERROR_SIZE] = {};
    Slist headerList;
    Mime mime;
    std::string form;

    // A fresh easy handle per request: nothing of the previous request's
    // method, body or headers can leak into this one. The cookies live in
    // the share handle, which only this object's requests use.
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> handle(curl_easy_init(), &curl_easy_cleanup);
    CURL* curl = handle.get();
    if (!curl || !share_) {
        fail("no curl handle (out of memory)");
        return false;
    }
    curl_easy_setopt(curl, CURLOPT_SHARE, static_cast<CURLSH*>(share_));
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    // Time-outs run on threads: no SIGALRM for the resolver.
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connectTimeout_.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(transferTimeout_.count()));
    curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "");
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Kandor");
    curl_easy_setopt(curl, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
    if (acceptSelfSigned_) {
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
    } else {
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!caFile_.empty())
            curl_easy_setopt(curl, CURLOPT_CAINFO, caFile_.c_str());
    }
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &HttpRequest::onData);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &HttpRequest::onProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);

    bool listOk = true;
    const bool callerAccept = std::any_of(headers_.begin(), headers_.end(),
                                          [](const std::string& line) { return sameName(line, "Accept"); });
    if (!callerAccept)
        listOk &= append(headerList, "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
    // Without this curl holds a larger body back for a second waiting for
    // "100 Continue", which the cloud never sends.
    listOk &= append(headerList, "Expect:");

    switch (method) {
    case Method::Get:
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
        break;
    case Method::Delete:
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "DELETE");
        break;
    case Method::Post:
        if (!fields_.empty()) {
            for (const auto& [name, value] : fields_) {
                if (!form.empty())
                    form += '&';
                form += escape(curl, name);
                form += '=';
                form += escape(curl, value);
            }
            curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(form.size()));
            curl_easy_setopt(curl, CURLOPT_POSTFIELDS, form.data());
        } else if (!parts_.empty()) {
            mime.reset(curl_mime_init(curl));
            for (const MultipartPart& part : parts_) {
                curl_mimepart* p = mime ? curl_mime_addpart(mime.get()) : nullptr;
                if (!p) {
                    listOk = false;
                    break;
                }
                curl_mime_name(p, part.name.c_str());
                curl_mime_data(p, part.data.data(), part.data.size());
                if (!part.fileName.empty())
                    curl_mime_filename(p, part.fileName.c_str());
                if (!part.contentType.empty())
                    curl_mime_type(p, part.contentType.c_str());
                if (!part.headers.empty()) {
                    Slist partHeaders;
                    for (const std::string& line : part.headers)
                        listOk &= append(partHeaders, line);
                    // The part takes the list over.
                    curl_mime_headers(p, partHeaders.release(), 1);
                }
            }
            curl_easy_setopt(curl, CURLOPT_MIMEPOST, mime.get());
        } else {
            curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body_.size()));
            curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body_.data());
            if (!bodyType_.empty())
                listOk &= append(headerList, "Content-Type: " + bodyType_);
        }
        break;
    case Method::Put:
        // PUT through the POST body machinery: the body is in memory, and
        // this sends Content-Length: 0 for an empty one.
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "PUT");
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body_.size()));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body_.data());
        if (!bodyType_.empty())
            listOk &= append(headerList, "Content-Type: " + bodyType_);
        break;
    }
    for (const std::string& line : headers_)
        listOk &= append(headerList, line);
    if (!listOk) {
        fail("out of memory building the request");
        return false;
    }
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headerList.get());

    const CURLcode code = curl_easy_perform(curl);

    long osError = 0;
    curl_easy_getinfo(curl, CURLINFO_OS_ERRNO, &osError);
    osError_ = osError;
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    status_ = status;

    if (code == CURLE_OK)
        return true;
    if (overLimit_)
        fail("answer larger than " + std::to_string(responseLimit_) + " bytes");
    else if (code == CURLE_ABORTED_BY_CALLBACK)
        fail("cancelled");
    else
        fail(std::string(curl_easy_strerror(code)) + (errorBuffer[0] ? std::string(": ") + errorBuffer : std::string()));
    response_.clear();
    return false;
}

}  // namespace platform::net
