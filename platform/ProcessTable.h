#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
    /// listed.
    virtual std::vector<ProcessEntry> snapshot() const = 0;

    /// Ends the process at once, provided it still runs under the image name
    /// the snapshot gave (a process id may have been reused meanwhile).
    /// False when it could not be opened, no longer matches or refused.
    virtual bool terminate(const ProcessEntry& entry) = 0;
};

}  // namespace ovin
