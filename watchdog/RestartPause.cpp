#include "RestartPause.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <random>
#include <utility>

#include "LoggedEvent.h"
#include "RouterEvent.h"
#include "RouterRecord.h"
#include "platform/Clock.h"
#include "settings/Texts.h"
#include "settings/DohledSettings.h"
#include "settings/EventLog.h"

namespace ovin {

namespace {

constexpr std::string_view kHealthyLine = texts::kLogPauseHealthy;
constexpr std::string_view kClearedLine = texts::kLogPauseCleared;
constexpr std::int64_t kMsPerSecond = 1000;
constexpr std::int64_t kMsPerDay = 86'400'000;

RestartPause::RandomSource systemRandom()
{
    auto engine = std::make_shared<std::mt19937>(std::random_device{}());
    return [engine] { return std::uniform_real_distribution<double>(0.0, 1.0)(*engine); };
}

std::string twoDigits(std::int64_t n)
{
    // Appended, not "0" + temporary: GCC 12's optimiser sees a false overlap there (-Wrestrict).
    std::string text = n < 10 ? "0" : "";
    text += std::to_string(n);
    return text;
}

}  // namespace

RestartPause::RestartPause(Clock& clock, EventLog& log, RouterRecord& record, RandomSource random)
    : m_clock(clock), m_log(log), m_record(record), m_random(random ? std::move(random) : systemRandom())
{
    m_record.addListener(*this);
}

RestartPause::~RestartPause() { m_record.removeListener(*this); }

std::int64_t RestartPause::now() const { return m_clock.unixMs(); }

void RestartPause::configure(const DohledSettings& settings)
{
    m_threshold = settings.UtlumPokusu;
    m_maxSeconds = settings.UtlumMaxSekund;
    m_healthyMs = std::int64_t{settings.ZdravySekund} * kMsPerSecond;
    if (m_on && !settings.Utlum)
        clear();
    m_on = settings.Utlum;
}

std::int64_t RestartPause::basePauseMs(int failures, int threshold, int maxSeconds)
{
    if (failures < threshold)
        return 0;
    const std::int64_t capMs = std::int64_t{maxSeconds} * kMsPerSecond;
    std::int64_t pauseMs = kFirstPauseMs;
    // Doubling stops at the cap, so a count in the thousands cannot overflow.
    for (int n = threshold; n < failures && pauseMs < capMs; ++n)
        pauseMs *= 2;
    return std::min(pauseMs, capMs);
}

bool RestartPause::holdLaunch()
{
    m_held = false;
    if (!m_on)
        return false;
    if (m_upSinceMs) {
        const std::int64_t ranMs = now() - *m_upSinceMs;
        m_upSinceMs.reset();
        if (ranMs < m_healthyMs)
            failed();
        else
            healthy();
    }
    m_held = m_nextAttemptMs != 0 && now() < m_nextAttemptMs;
    return m_held;
}

void RestartPause::routerEvent(const RouterEvent& event, const RouterRecord& record)
{
    // Asked by the watchdog before the tick's end is told, so it is spent here, on or off.
    const bool held = event.kind == RouterEventKind::Tick && std::exchange(m_held, false);
    if (!m_on)
        return;
    switch (event.kind) {
    case RouterEventKind::Launched:
        m_upSinceMs = now();
        break;
    case RouterEventKind::LaunchFailed:
        failed();
        break;
    case RouterEventKind::Kill:
        // Ended for a stall: a router that hangs at once fails like one that ends at once.
        if (!record.routerUp() && m_upSinceMs) {
            const bool tooSoon = now() - *m_upSinceMs < m_healthyMs;
            m_upSinceMs.reset();
            if (tooSoon)
                failed();
        }
        break;
    case RouterEventKind::Tick:
        // A tick that held the attempt found no router, whatever the record last knew.
        if (held || !record.routerUp()) {
            m_upSinceMs.reset();
            break;
        }
        // A router started by hand counts from the first tick that sees it.
        if (!m_upSinceMs)
            m_upSinceMs = now();
        if (now() - *m_upSinceMs >= m_healthyMs)
            healthy();
        break;
    case RouterEventKind::SettingsSaved:
    case RouterEventKind::WatchdogStart:
        clear();
        break;
    default:
        break;
    }
}

void RestartPause::failed()
{
    ++m_failures;
    const std::int64_t baseMs = basePauseMs(m_failures, m_threshold, m_maxSeconds);
    if (baseMs == 0)
        return;
    const double r = std::clamp(m_random(), 0.0, 1.0);
    const std::int64_t pauseMs =
        std::min(baseMs + static_cast<std::int64_t>(std::floor(baseMs * r / 10.0)), baseMs + baseMs / 10);
    m_nextAttemptMs = now() + pauseMs;
    const std::string line =
        texts::kLogPauseBegins + std::to_string((pauseMs + kMsPerSecond - 1) / kMsPerSecond) + texts::kLogWaitingUnit;
    // Told on the watch cycle's thread from inside the record: a month file that cannot be saved is reported by
    // the next line that can be, never thrown through the record.
    try {
        LogAndTell(m_log, line, LineSeverity::Warning, [&] { m_record.crashLoop(line, m_nextAttemptMs); });
    } catch (const std::exception&) {
    }
}

void RestartPause::healthy()
{
    m_failures = 0;
    m_nextAttemptMs = 0;
    endLoop(kHealthyLine);
}

void RestartPause::clear()
{
    m_failures = 0;
    m_nextAttemptMs = 0;
    m_upSinceMs.reset();
    endLoop(kClearedLine);
}

void RestartPause::endLoop(std::string_view line)
{
    if (!m_record.inCrashLoop())
        return;
    try {
        LogAndTell(m_log, line, LineSeverity::Info, [&] { m_record.crashLoopOver(line); });
    } catch (const std::exception&) {
    }
}

std::string restartPauseNotice(const RouterRecord& record, const Clock& clock)
{
    if (!record.inCrashLoop())
        return {};
    // The next attempt on the local clock: the local time now moved by the distance on the world's clock.
    const LocalTime local = clock.now();
    const std::int64_t localMs = localSeconds(local) * kMsPerSecond + local.millisecond;
    const std::int64_t atMs = localMs + std::max<std::int64_t>(0, record.nextAttemptUnixMs() - clock.unixMs());
    const std::int64_t secondOfDay = ((atMs % kMsPerDay + kMsPerDay) % kMsPerDay + kMsPerSecond - 1) / kMsPerSecond;
    return texts::kPauseNotice + twoDigits(secondOfDay / 3600 % 24) + ":" + twoDigits(secondOfDay / 60 % 60) + ":" +
           twoDigits(secondOfDay % 60);
}

}  // namespace ovin
