#pragma once

#include "platform/HttpClient.h"

namespace ovin {

/// Web hooks through WinHTTP, with the system's proxy settings and its
/// certificate store.
class Win32HttpClient final : public HttpClient {
public:
    HttpOutcome postJson(const std::string& url, const std::string& body, int timeoutMs,
                         const std::atomic<bool>& cancel) override;
};

}  // namespace ovin
