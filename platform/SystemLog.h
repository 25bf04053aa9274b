#pragma once

#include <cstdint>
#include <string_view>

namespace ovin {

/// How much a line matters to the system log's readers (its priority or
/// event type).
enum class SystemLogLevel { Info, Warning, Error };

/// The kind of a line, so that a reader of the system log can pick lines out
/// without reading their Czech text: the Windows event id (the program's
/// message table holds one entry per id).
enum class SystemLogEvent : std::uint16_t {
    Line = 1,          ///< any line of no kind below
    Stall = 2,         ///< the request file stayed the same up to the limit
    Kill = 3,          ///< the watchdog ends the router
    Crash = 4,         ///< a router the watchdog had seen running is gone
    LaunchFailed = 5,  ///< "Nelze spustit Trovan"
    KillRefused = 6,   ///< "Nelze ukoncit Trovan"
    Launched = 7,      ///< a router runs after an attempt
    Warning = 8,       ///< another warning
    Error = 9,         ///< another error
};

/// The machine's own log, which its owners gather centrally (journald or
/// syslog on Linux, the Application event log on Windows). Lines go there as
/// they are logged, on the logging thread.
class SystemLog {
public:
    virtual ~SystemLog() = default;

    /// Hands one line (UTF-8) to the system log. Never throws; a system log
    /// that cannot take it loses the line, the program's own log keeps it.
    virtual void write(std::string_view message, SystemLogLevel level, SystemLogEvent event) = 0;
};

}  // namespace ovin
