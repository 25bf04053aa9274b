#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "RouterListener.h"

namespace ovin {

class Clock;
class EventLog;
struct DohledSettings;

/// The growing pause between restarts of a router that keeps dying.
///
/// A launch fails when no router runs after the attempt, or when the router
/// is gone again (by itself, or ended by the watchdog for a stall) less than
/// the healthy time after it was seen running. After the set number of
/// failures in a row the next attempt waits: 10 s, twice as long after each
/// further failure, up to the longest pause, plus up to a tenth at random so
/// that a fleet of machines does not retry in step. It never gives up: a
/// router that runs for the healthy time clears the count and the pause, and
/// so do "ULOŽIT" and a start. Off, it holds nothing and says nothing.
///
/// Listens to the router's record, which it also tells when a pause begins,
/// changes or ends; the router check asks `holdLaunch` before each attempt.
class RestartPause final : public RouterListener {
public:
    /// A number in [0, 1): where within its tenth the random part of a pause falls.
    using RandomSource = std::function<double()>;

    /// The first pause.
    static constexpr std::int64_t kFirstPauseMs = 10'000;

    /// An empty `random` takes the system's own source.
    RestartPause(Clock& clock, EventLog& log, RouterRecord& record, RandomSource random = {});
    ~RestartPause() override;
    RestartPause(const RestartPause&) = delete;
    RestartPause& operator=(const RestartPause&) = delete;

    /// Takes the section's settings over. Switched off, a pause that is on ends.
    void configure(const DohledSettings& settings);

    /// Asked by the router check when it finds no router, before it tries to
    /// start one: true while a pause holds the attempt. A router gone too soon
    /// is counted here, so the pause it earns holds this very tick.
    bool holdLaunch();

    /// The pause after `failures` failed launches in a row, before its random
    /// part: none below `threshold`, then 10 s doubled per further failure up
    /// to `maxSeconds`.
    static std::int64_t basePauseMs(int failures, int threshold, int maxSeconds);

    /// Failed launches in a row.
    int failures() const { return m_failures; }
    /// Whether the router check of the tick now running was held: it found
    /// no router and made no attempt.
    bool held() const { return m_held; }

    void routerEvent(const RouterEvent& event, const RouterRecord& record) override;

private:
    void failed();
    // The router ran long enough: the count and the pause go.
    void healthy();
    // The count and any pause go: the next tick tries at once.
    void clear();
    void endLoop(std::string_view line);
    std::int64_t now() const;

    Clock& m_clock;
    EventLog& m_log;
    RouterRecord& m_record;
    RandomSource m_random;
    bool m_on = false;
    int m_threshold = 3;
    int m_maxSeconds = 600;
    std::int64_t m_healthyMs = 60'000;
    int m_failures = 0;
    std::int64_t m_nextAttemptMs = 0;
    bool m_held = false;
    // When the router was last seen coming up; nothing while none is known to run.
    std::optional<std::int64_t> m_upSinceMs;
};

/// The notice of the tray icon's tip while the router keeps failing: when the
/// next attempt comes, in local time. Empty when no pause is on.
std::string restartPauseNotice(const RouterRecord& record, const Clock& clock);

}  // namespace ovin
