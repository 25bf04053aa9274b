#pragma once

#include <chrono>

#include "platform/CommandRunner.h"

namespace ovin {

/// Runs the alert command in a session of its own, watched by a small
/// process of its own that ends the command's whole process group when it
/// runs past the limit and then removes the file of log lines.
class LinuxCommandRunner final : public CommandRunner {
public:
    explicit LinuxCommandRunner(std::chrono::milliseconds limit = std::chrono::seconds(60)) : m_limit(limit) {}

    Result start(const std::string& program, const std::string& folder,
                 const std::vector<std::pair<std::string, std::string>>& environment, const std::string& tailVariable,
                 const std::string& tailText) override;

private:
    std::chrono::milliseconds m_limit;
};

}  // namespace ovin
