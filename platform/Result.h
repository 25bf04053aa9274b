#pragma once

#include <string>
#include <utility>

namespace ovin {

/// Outcome of a platform operation that can fail: on failure `error` holds
/// the system's own text for the cause, for the caller to log or report.
struct [[nodiscard]] Result {
    bool ok = true;
    std::string error;

    static Result failure(std::string text) { return {false, std::move(text)}; }
    explicit operator bool() const { return ok; }
};

}  // namespace ovin
