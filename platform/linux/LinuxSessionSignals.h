#pragma once

#include "platform/linux/SessionSignals.h"

namespace ovin {

/// SIGTERM and SIGHUP (the session or the system ends) and SIGINT (a
/// terminal's interrupt), passed through a pipe: writing to a pipe is all a
/// signal handler may safely do.
class LinuxSessionSignals final : public SessionSignals {
public:
    LinuxSessionSignals();
    ~LinuxSessionSignals() override;
    LinuxSessionSignals(const LinuxSessionSignals&) = delete;
    LinuxSessionSignals& operator=(const LinuxSessionSignals&) = delete;

    std::intptr_t readyHandle() const override;
    std::vector<Request> takeRequests() override;
};

}  // namespace ovin
