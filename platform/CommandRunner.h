#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/Result.h"

namespace ovin {

/// Runs the operator's alert command.
class CommandRunner {
public:
    virtual ~CommandRunner() = default;

    /// Starts `program` without arguments in `folder`, detached from the
    /// caller, with the caller's environment plus `environment` (a name given
    /// there wins). When `tailText` is not empty it is written to a temporary
    /// text file whose path the program finds in `tailVariable`; the file goes
    /// when the program has ended. Nobody waits for the program: it is ended
    /// with everything it started when it runs longer than the runner's limit.
    /// A failure means it could not be started at all.
    virtual Result start(const std::string& program, const std::string& folder,
                         const std::vector<std::pair<std::string, std::string>>& environment,
                         const std::string& tailVariable, const std::string& tailText) = 0;
};

}  // namespace ovin
