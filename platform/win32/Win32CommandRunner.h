#pragma once

#include <chrono>

#include "platform/CommandRunner.h"

namespace ovin {

/// Runs the alert command without a window, in a job object of its own that
/// a waiting thread ends, with everything the command started, when it runs
/// past the limit; the thread then removes the file of log lines. A batch
/// file runs through the command interpreter, a PowerShell script through
/// PowerShell.
class Win32CommandRunner final : public CommandRunner {
public:
    explicit Win32CommandRunner(std::chrono::milliseconds limit = std::chrono::seconds(60)) : m_limit(limit) {}

    Result start(const std::string& program, const std::string& folder,
                 const std::vector<std::pair<std::string, std::string>>& environment, const std::string& tailVariable,
                 const std::string& tailText) override;

private:
    std::chrono::milliseconds m_limit;
};

}  // namespace ovin
