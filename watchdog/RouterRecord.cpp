#include "RouterRecord.h"

#include <algorithm>
#include <string>

#include "ProcessOps.h"
#include "RouterListener.h"
#include "platform/Clock.h"

namespace ovin {

const char* routerEventName(RouterEventKind kind)
{
    switch (kind) {
    case RouterEventKind::WatchdogStart:
        return "watchdog_start";
    case RouterEventKind::WatchdogEnd:
        return "watchdog_end";
    case RouterEventKind::Tick:
        return "tick";
    case RouterEventKind::Stall:
        return "stall";
    case RouterEventKind::Kill:
        return "kill";
    case RouterEventKind::KillRefused:
        return "kill_refused";
    case RouterEventKind::Attempt:
        return "attempt";
    case RouterEventKind::Crash:
        return "crash";
    case RouterEventKind::MissingExe:
        return "missing_exe";
    case RouterEventKind::LaunchRefused:
        return "launch_refused";
    case RouterEventKind::Launched:
        return "launched";
    case RouterEventKind::LaunchFailed:
        return "launch_failed";
    case RouterEventKind::Recovered:
        return "recovered";
    case RouterEventKind::SettingsSaved:
        return "settings_saved";
    case RouterEventKind::CrashLoop:
        return "crashloop";
    case RouterEventKind::CrashLoopOver:
        return "crashloop_over";
    }
    return "unknown";
}

RouterRecord::RouterRecord(Clock& clock) : m_clock(clock) {}

void RouterRecord::addListener(RouterListener& listener) { m_listeners.push_back(&listener); }

void RouterRecord::removeListener(RouterListener& listener) { std::erase(m_listeners, &listener); }

void RouterRecord::tell(RouterEventKind kind, std::string_view line, std::int64_t downtimeMs)
{
    if (m_listeners.empty())
        return;
    const RouterEvent event{kind, std::string(line), m_clock.unixMs(), downtimeMs, m_nextAttemptUnixMs};
    // A copy: a listener may remove itself while it is told.
    const std::vector<RouterListener*> listeners = m_listeners;
    for (RouterListener* listener : listeners)
        listener->routerEvent(event, *this);
}

int RouterRecord::today() const
{
    const LocalTime now = m_clock.now();
    return now.year * 10000 + now.month * 100 + now.day;
}

void RouterRecord::countToday(int& counter)
{
    const int day = today();
    if (day != m_day) {
        m_day = day;
        m_stallsToday = 0;
        m_crashesToday = 0;
    }
    ++counter;
}

int RouterRecord::stallsToday() const { return today() == m_day ? m_stallsToday : 0; }

int RouterRecord::crashesToday() const { return today() == m_day ? m_crashesToday : 0; }

void RouterRecord::watchdogStarted()
{
    m_startUnixMs = m_clock.unixMs();
    tell(RouterEventKind::WatchdogStart, "START");
}

void RouterRecord::watchdogEnded(std::string_view line)
{
    if (m_ended)
        return;
    m_ended = true;
    tell(RouterEventKind::WatchdogEnd, line);
}

void RouterRecord::stall(std::string_view line)
{
    ++m_counters.stalls;
    countToday(m_stallsToday);
    tell(RouterEventKind::Stall, line);
}

void RouterRecord::beginOutage(std::int64_t at)
{
    if (!m_outageSince)
        m_outageSince = at;
}

void RouterRecord::endOutage(std::string_view line)
{
    if (!m_outageSince)
        return;
    const std::int64_t down = std::max<std::int64_t>(0, m_clock.unixMs() - *m_outageSince);
    m_closedDowntimeMs += down;
    m_outageSince.reset();
    tell(RouterEventKind::Recovered, line, down);
}

void RouterRecord::killed(std::string_view line, bool ended)
{
    if (ended) {
        ++m_counters.kills;
        // What the watchdog ended itself is no crash when it is found gone.
        m_seenRunning = false;
        m_routerUp = false;
        beginOutage(m_clock.unixMs());
    }
    tell(RouterEventKind::Kill, line);
}

void RouterRecord::killRefused(std::string_view line) { tell(RouterEventKind::KillRefused, line); }

void RouterRecord::routerRunning()
{
    m_routerUp = true;
    m_seenRunning = true;
    // A router that runs again without a start of the watchdog's (started by hand, or a kill that did not
    // take) ends the outage all the same.
    endOutage("");
}

void RouterRecord::attempt(std::string_view line)
{
    const bool crash = m_seenRunning;
    m_seenRunning = false;
    m_routerUp = false;
    m_lastAttemptUnixMs = m_clock.unixMs();
    tell(RouterEventKind::Attempt, line);
    if (crash) {
        ++m_counters.crashes;
        countToday(m_crashesToday);
        beginOutage(m_lastAttemptUnixMs);
        tell(RouterEventKind::Crash, line);
    }
}

void RouterRecord::missingExe(std::string_view line) { tell(RouterEventKind::MissingExe, line); }

void RouterRecord::launchRefused(std::string_view line) { tell(RouterEventKind::LaunchRefused, line); }

void RouterRecord::launched(std::string_view line)
{
    ++m_counters.launches;
    m_routerUp = true;
    m_seenRunning = true;
    m_lastLaunchUnixMs = m_lastAttemptUnixMs;
    tell(RouterEventKind::Launched, line);
    endOutage(line);
}

void RouterRecord::launchFailed(std::string_view line)
{
    ++m_counters.launchFailures;
    m_routerUp = false;
    tell(RouterEventKind::LaunchFailed, line);
}

void RouterRecord::tickEnded(int stallCount, int stallLimit, std::int32_t requestStamp, std::optional<bool> routerSeen)
{
    m_stallCount = stallCount;
    m_stallLimit = stallLimit;
    m_requestStamp = requestStamp;
    if (routerSeen)
        m_routerUp = *routerSeen;
    m_lastTickUnixMs = m_clock.unixMs();
    tell(RouterEventKind::Tick, "");
}

void RouterRecord::settingsSaved() { tell(RouterEventKind::SettingsSaved, ""); }

void RouterRecord::crashLoop(std::string_view line, std::int64_t nextAttemptUnixMs)
{
    m_inCrashLoop = true;
    m_nextAttemptUnixMs = nextAttemptUnixMs;
    tell(RouterEventKind::CrashLoop, line);
}

void RouterRecord::crashLoopOver(std::string_view line)
{
    if (!m_inCrashLoop)
        return;
    m_inCrashLoop = false;
    m_nextAttemptUnixMs = 0;
    tell(RouterEventKind::CrashLoopOver, line);
}

std::int64_t RouterRecord::downtimeMs() const
{
    const std::int64_t open = m_outageSince ? std::max<std::int64_t>(0, m_clock.unixMs() - *m_outageSince) : 0;
    return m_closedDowntimeMs + open;
}

std::optional<std::int64_t> RouterRecord::requestFileUnixSeconds() const
{
    if (m_requestStamp == 0)
        return std::nullopt;
    const auto local = DateStampToLocalTime(m_requestStamp);
    if (!local)
        return std::nullopt;
    // The stamp is local time; the offset in force now is the best there is for a file of the last moments.
    return localSeconds(*local) - std::int64_t{m_clock.utcOffsetMinutes()} * 60;
}

}  // namespace ovin
