#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace ovin {

/// The system's requests to end the program (the session or the system
/// shuts down, the user interrupts a terminal run), caught as they come and
/// handed on to the user-interface thread.
class SessionSignals {
public:
    enum class Request { SessionEnding, Interrupted };

    virtual ~SessionSignals() = default;

    /// A descriptor the event loop can watch: it becomes readable when a
    /// request waits; -1 when requests cannot be caught.
    virtual std::intptr_t readyHandle() const = 0;

    /// The requests that arrived since the last call, oldest first.
    virtual std::vector<Request> takeRequests() = 0;
};

/// Starts catching the requests; the system's default handling comes back
/// when the object is destroyed. One at a time per process.
std::unique_ptr<SessionSignals> createSessionSignals();

}  // namespace ovin
