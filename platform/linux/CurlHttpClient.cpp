#include "CurlHttpClient.h"

#include <curl/curl.h>

#include <memory>

namespace ovin {

namespace {

// libcurl asks this about once a second even while nothing moves, so a cancel is heard within about that long.
int stopWhenCancelled(void* cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const std::atomic<bool>*>(cancel)->load() ? 1 : 0;
}

// The answer's body is of no interest; it is read and dropped, never held.
size_t dropBody(char*, size_t size, size_t count, void*) { return size * count; }

struct CurlDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

}  // namespace

CurlHttpClient::CurlHttpClient() { curl_global_init(CURL_GLOBAL_DEFAULT); }

CurlHttpClient::~CurlHttpClient() = default;

HttpOutcome CurlHttpClient::postJson(const std::string& url, const std::string& body, int timeoutMs,
                                     const std::atomic<bool>& cancel)
{
    const std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl)
        return {HttpFailure::Other, 0, "libcurl: curl_easy_init"};
    std::unique_ptr<curl_slist, ListDeleter> headers(
        curl_slist_append(nullptr, "Content-Type: application/json; charset=utf-8"));
    CURL* c = curl.get();
    char error[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_POST, 1L);
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_USERAGENT, "Ovin");
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(timeoutMs));
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeoutMs));
    // Signals would reach the whole program; the worker thread must not use them.
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, stopWhenCancelled);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(&cancel));
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, dropBody);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);

    const CURLcode code = curl_easy_perform(c);
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    const std::string text = error[0] ? std::string(error) : std::string(curl_easy_strerror(code));
    switch (code) {
    case CURLE_OK:
        if (status >= 200 && status < 300)
            return {HttpFailure::None, static_cast<int>(status), {}};
        return {HttpFailure::HttpError, static_cast<int>(status), "HTTP " + std::to_string(status)};
    case CURLE_OPERATION_TIMEDOUT:
        return {HttpFailure::NoAnswer, 0, text};
    case CURLE_COULDNT_CONNECT:
        return {HttpFailure::Refused, 0, text};
    default:
        return {HttpFailure::Other, static_cast<int>(status), text};
    }
}

}  // namespace ovin
