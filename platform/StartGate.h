#pragma once

#include <chrono>
#include <memory>
#include <string_view>

#include "platform/Result.h"

namespace ovin {

/// Lets simultaneous starts of one executable (by image name, per user or
/// per session) decide one after the other whether they may run. A start
/// that waits at the gate, or that has been refused, does not bear the image
/// name meanwhile: the process table lists it under another name. So the
/// one at the gate counts only the processes that really run as the
/// program, and of any number of simultaneous starts exactly one remains.
class StartGate {
public:
    virtual ~StartGate() = default;

    /// Waits at most `timeout` for this start's turn, not bearing the image
    /// name while it waits; bears it again on return. Fails when the turn
    /// did not come in time or no gate could be had (the start then goes on
    /// without one).
    virtual Result enter(std::chrono::milliseconds timeout) = 0;

    /// Puts the image name off for the rest of this process's life: it is
    /// ending or handing over and must not keep the next start out.
    virtual void standAside() = 0;

    /// Lets the next start through.
    virtual void leave() = 0;
};

/// How long a start waits for its turn before it goes on without the gate.
inline constexpr std::chrono::milliseconds kStartGateTimeout{10000};

/// The gate for the executable with the image name `imageName`.
std::unique_ptr<StartGate> createStartGate(std::string_view imageName);

}  // namespace ovin
