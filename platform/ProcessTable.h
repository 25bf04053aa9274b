#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Result.h"

namespace ovin {

/// One running process as a snapshot lists it.
struct ProcessEntry {
    std::string imageName;  ///< the file name the process runs under, e.g. "trovan.exe"
    std::uint32_t pid = 0;
};

/// The system's list of running processes.
class ProcessTable {
public:
    virtual ~ProcessTable() = default;

    /// The running processes in the system's order; empty when no snapshot
    /// could be taken. Processes that have ended but not been reaped are not
    /// listed. A start that stands aside at the start gate is listed under
    /// another name than its own (see StartGate).
    virtual std::vector<ProcessEntry> snapshot() const = 0;

    /// Ends the process at once (exit code 0 where the system has one).
    /// Where the system can tell, only while it still runs under the image
    /// name the snapshot gave, since a process id may have been reused
    /// meanwhile. Fails when it could not be opened, no longer matches or
    /// refused.
    virtual Result terminate(const ProcessEntry& entry) = 0;
};

}  // namespace ovin
