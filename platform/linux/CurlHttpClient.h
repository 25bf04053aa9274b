#pragma once

#include "platform/HttpClient.h"

namespace ovin {

/// Web hooks through libcurl, with the system's certificate authorities.
class CurlHttpClient final : public HttpClient {
public:
    /// Sets libcurl up for the whole process: to be made before any thread
    /// posts.
    CurlHttpClient();
    ~CurlHttpClient() override;
    CurlHttpClient(const CurlHttpClient&) = delete;
    CurlHttpClient& operator=(const CurlHttpClient&) = delete;

    HttpOutcome postJson(const std::string& url, const std::string& body, int timeoutMs,
                         const std::atomic<bool>& cancel) override;
};

}  // namespace ovin
