#pragma once

#include <cstdint>
#include <string>

namespace ovin {

/// What happened to the router, as the watchdog's own decisions and checks
/// tell it; the log holds the same as Czech lines.
enum class RouterEventKind {
    WatchdogStart,  ///< the run began (its start block is written)
    WatchdogEnd,    ///< the run ends
    Tick,           ///< a watch tick ended; the status is that tick's
    Stall,          ///< the request file stayed the same up to the limit
    Kill,           ///< the watchdog ended the router ("Ukoncuji Trovan")
    KillRefused,    ///< the system refused to end a router; the line holds its reason
    Attempt,        ///< no router runs: the watchdog tries to start it
    Crash,          ///< that attempt found gone a router it had seen running and not ended
    MissingExe,     ///< there is no router executable to start
    LaunchRefused,  ///< the system refused to start it; the line holds its reason
    Launched,       ///< a router runs after an attempt ("Trovan spusten")
    LaunchFailed,   ///< no router runs after an attempt
    Recovered,      ///< a router runs again after a stall or a crash; `downtimeMs` says how long it was down
    SettingsSaved,  ///< the user took the panel's settings over ("ULOŽIT")
    CrashLoop,      ///< a pause between restarts began or changed; `nextAttemptUnixMs` says until when
    CrashLoopOver,  ///< the router ran long enough: the pause between restarts is over
};

/// The stable English name of a kind, for machines (metrics, alerts, JSON).
const char* routerEventName(RouterEventKind kind);

/// One event, with the log line it goes with (its message, without the time
/// stamp; empty for a tick) and when it happened on the world's clock.
struct RouterEvent {
    RouterEventKind kind = RouterEventKind::Tick;
    std::string line;
    std::int64_t unixMs = 0;
    std::int64_t downtimeMs = 0;         ///< Recovered only
    std::int64_t nextAttemptUnixMs = 0;  ///< CrashLoop only
};

}  // namespace ovin
