#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "RouterEvent.h"

namespace ovin {

class Clock;
class RouterListener;

/// The counts of one run of the watchdog: all start at 0 with each run, as
/// Prometheus expects of a restarted process.
struct RouterCounters {
    std::int64_t stalls = 0;          ///< limits reached
    std::int64_t kills = 0;           ///< ends of the router that ended at least one
    std::int64_t launches = 0;        ///< attempts after which a router ran
    std::int64_t launchFailures = 0;  ///< attempts after which none ran
    std::int64_t crashes = 0;         ///< routers found gone that the watchdog had not ended
};

/// The router's history in this run, told by the watch cycle as it decides
/// and passed on to listeners as events. It derives what the log does not
/// say in one line: a crash (a router this run saw running and did not end
/// is gone), the time the router was down (from a kill or a crash to the
/// next running router) and the recovery.
///
/// Each call comes right after the line it is about was logged, with that
/// line's message.
class RouterRecord {
public:
    explicit RouterRecord(Clock& clock);
    RouterRecord(const RouterRecord&) = delete;
    RouterRecord& operator=(const RouterRecord&) = delete;

    /// Listeners are told in the order they were added; each outlives the
    /// record or is removed first.
    void addListener(RouterListener& listener);
    void removeListener(RouterListener& listener);
    bool hasListeners() const { return !m_listeners.empty(); }

    void watchdogStarted();
    /// The first call of a run counts; the run's end may be reached twice.
    void watchdogEnded(std::string_view line);
    void stall(std::string_view line);
    /// The watchdog ended routers; `ended` says whether at least one went.
    void killed(std::string_view line, bool ended);
    void killRefused(std::string_view line);
    /// A tick found the router running before any attempt.
    void routerRunning();
    /// True when an attempt now would find a crash: a router this run saw
    /// running and did not end is gone. Asked before the attempt's line is
    /// logged, so that it can be logged as a warning.
    bool attemptFindsCrash() const { return m_seenRunning; }
    void attempt(std::string_view line);
    void missingExe(std::string_view line);
    void launchRefused(std::string_view line);
    void launched(std::string_view line);
    void launchFailed(std::string_view line);
    /// The tick ended: the request file's state as the request-file check
    /// left it (`requestStamp` 0 when it saw no file) and, when the router
    /// check did not run, whether a router runs.
    void tickEnded(int stallCount, int stallLimit, std::int32_t requestStamp, std::optional<bool> routerSeen);
    void settingsSaved();
    /// A pause between restarts of a router that keeps dying began or
    /// changed: no attempt before `nextAttemptUnixMs`.
    void crashLoop(std::string_view line, std::int64_t nextAttemptUnixMs);
    /// The pause is over (the router ran long enough, or the settings were
    /// taken over); nothing is told when none was on.
    void crashLoopOver(std::string_view line);

    bool routerUp() const { return m_routerUp; }
    const RouterCounters& counters() const { return m_counters; }
    /// All the time the router was down in this run up to now, an outage
    /// still open included: it only grows.
    std::int64_t downtimeMs() const;
    /// When the open outage began, or nothing while none is open.
    std::optional<std::int64_t> outageSinceUnixMs() const { return m_outageSince; }
    std::int64_t startUnixMs() const { return m_startUnixMs; }
    std::int64_t lastTickUnixMs() const { return m_lastTickUnixMs; }
    /// When the router was last started (the attempt that brought it up), 0
    /// before any.
    std::int64_t lastLaunchUnixMs() const { return m_lastLaunchUnixMs; }
    /// From the first pause between restarts until the router runs well again.
    bool inCrashLoop() const { return m_inCrashLoop; }
    /// When the paused restart comes, 0 while no pause is on.
    std::int64_t nextAttemptUnixMs() const { return m_nextAttemptUnixMs; }
    int stallCount() const { return m_stallCount; }
    int stallLimit() const { return m_stallLimit; }
    /// The request file's date stamp on the world's clock, in seconds, or
    /// nothing when the last check saw no file.
    std::optional<std::int64_t> requestFileUnixSeconds() const;
    /// Stalls and crashes of today (the local date), this run.
    int stallsToday() const;
    int crashesToday() const;

private:
    void tell(RouterEventKind kind, std::string_view line, std::int64_t downtimeMs = 0);
    void countToday(int& counter);
    int today() const;
    void beginOutage(std::int64_t at);
    void endOutage(std::string_view line);

    Clock& m_clock;
    std::vector<RouterListener*> m_listeners;
    RouterCounters m_counters;
    bool m_routerUp = false;
    // A router this run saw running and has not ended: its disappearance is a crash.
    bool m_seenRunning = false;
    bool m_ended = false;
    std::optional<std::int64_t> m_outageSince;
    std::int64_t m_closedDowntimeMs = 0;
    std::int64_t m_startUnixMs = 0;
    std::int64_t m_lastTickUnixMs = 0;
    std::int64_t m_lastAttemptUnixMs = 0;
    std::int64_t m_lastLaunchUnixMs = 0;
    bool m_inCrashLoop = false;
    std::int64_t m_nextAttemptUnixMs = 0;
    int m_stallCount = 0;
    int m_stallLimit = 0;
    std::int32_t m_requestStamp = 0;
    int m_day = 0;
    int m_stallsToday = 0;
    int m_crashesToday = 0;
};

}  // namespace ovin
