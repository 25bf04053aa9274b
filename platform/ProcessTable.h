#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
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

    /// The running processes whose image name `wanted` accepts, in the
    /// system's order: the same as the entries of a snapshot that `wanted`
    /// accepts, but where the system lets a name be read on its own, the rest
    /// of a process is looked at only when its name is wanted (the watchdog
    /// looks for one name several times a tick on machines with thousands
    /// of processes).
    virtual std::vector<ProcessEntry> snapshot(const std::function<bool(std::string_view)>& wanted) const
    {
        std::vector<ProcessEntry> entries = snapshot();
        std::erase_if(entries, [&](const ProcessEntry& e) { return !wanted(e.imageName); });
        return entries;
    }

    /// One running process whose image name `wanted` accepts, or nothing.
    /// Where the system allows, the process that the previous call found is
    /// looked at first: the watchdog asks every tick whether its router
    /// runs, and while it runs on, that is one process to look at rather
    /// than all of them.
    virtual std::optional<ProcessEntry> findAny(const std::function<bool(std::string_view)>& wanted) const
    {
        std::vector<ProcessEntry> entries = snapshot(wanted);
        if (entries.empty())
            return std::nullopt;
        return entries.front();
    }

    /// Ends the process at once (exit code 0 where the system has one).
    /// Where the system can tell, only while it still runs under the image
    /// name the snapshot gave, since a process id may have been reused
    /// meanwhile. Fails when it could not be opened, no longer matches or
    /// refused.
    virtual Result terminate(const ProcessEntry& entry) = 0;
};

}  // namespace ovin
