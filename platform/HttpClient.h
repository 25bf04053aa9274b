#pragma once

#include <atomic>
#include <string>

namespace ovin {

/// Why a post did not get through, by what the operator can do about it.
enum class HttpFailure {
    None,       ///< the server took it (a 2xx answer)
    NoAnswer,   ///< no answer within the time-out
    Refused,    ///< nobody listens there (the connection was refused)
    HttpError,  ///< the server answered with an error status
    Other,      ///< anything else: a name that does not resolve, a certificate that does not hold, …
};

/// The outcome of one post: the status the server answered with (0 when it
/// did not answer) and, on failure, the system's own text for the cause.
struct HttpOutcome {
    HttpFailure failure = HttpFailure::None;
    int status = 0;
    std::string error;

    bool ok() const { return failure == HttpFailure::None; }
};

/// Posts to web hooks over HTTP or HTTPS; a certificate is checked against
/// the system's own authorities.
class HttpClient {
public:
    virtual ~HttpClient() = default;

    /// One POST of `body` as `application/json` to `url`, waiting at most
    /// `timeoutMs` for it all. Gives up soon after `cancel` turns true (the
    /// end of the run). Safe to call from a thread other than the one that
    /// created the client.
    virtual HttpOutcome postJson(const std::string& url, const std::string& body, int timeoutMs,
                                 const std::atomic<bool>& cancel) = 0;
};

}  // namespace ovin
