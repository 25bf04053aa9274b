#include "WatchCycle.h"

#include <exception>

#include "WatchTimer.h"
#include "WatchdogHost.h"
#include "platform/Clock.h"
#include "platform/ProcessControl.h"
#include "settings/Config.h"
#include "settings/EventLog.h"
#include "settings/Texts.h"

namespace ovin {

namespace {

struct PriorityLevel {
    PriorityClass cls;
    const char* line;
};

constexpr PriorityLevel kPriorityLevels[] = {
    {PriorityClass::Idle, texts::kLogPriorityIdle},
    {PriorityClass::Normal, texts::kLogPriorityNormal},
    {PriorityClass::High, texts::kLogPriorityHigh},
    {PriorityClass::RealTime, texts::kLogPriorityRealTime},
};

}  // namespace

WatchCycle::WatchCycle(WatchTimer& trayTimer, WatchTimer& timer1, WatchdogHost& host, TConf& conf, EventLog& log,
                       ProcessControl& process, Clock& clock)
    : m_trayTimer(trayTimer),
      m_timer1(timer1),
      m_host(host),
      m_conf(conf),
      m_log(log),
      m_process(process),
      m_clock(clock)
{
    m_trayTimer.setEnabled(false);
    m_timer1.setEnabled(false);
    m_trayTimer.setInterval(kStartPeriodMs);
    m_trayTimer.setOnTimer([this] { guarded([this] { TrayTimerTimer(); }); });
    m_timer1.setOnTimer([this] { guarded([this] { Timer1Timer(); }); });
}

void WatchCycle::guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        m_host.reportError(e.what());
    }
}

void WatchCycle::setUp()
{
    m_trayTimer.setEnabled(true);
    m_host.SetTrayImage(kIdleImage);
}

void WatchCycle::armTimer1(std::int32_t intervalMs) { m_timer1.setInterval(intervalMs > 0 ? intervalMs : 0); }

void WatchCycle::TrayTimerTimer()
{
    if (!m_conf.ZobrazitIkonu || m_host.AddTrayIcon())
        m_trayTimer.setEnabled(false);
    // A firing handled inside a tick (the router wait processes events) must
    // not arm the watch timer early: the tick switches it on when it ends.
    if (!m_ticking)
        m_timer1.setEnabled(true);
    SetPriority(1);
}

void WatchCycle::SetPriority(int level)
{
    if (level < 0 || level > 3)
        return;
    const PriorityLevel& p = kPriorityLevels[level];
    const Result set = m_process.setOwnPriorityClass(p.cls);
    m_log.AddLogLine(p.line);
    if (set.ok) {
        m_priorityRefusalLogged = false;
        return;
    }
    // The start timer sets the priority again every second while no tray takes the icon: one line says it.
    if (m_priorityRefusalLogged)
        return;
    m_priorityRefusalLogged = true;
    m_log.AddLogLine(texts::kLogPriorityRefused + set.error, LineSeverity::Warning);
}

void WatchCycle::Timer1Timer()
{
    if (m_ticking)
        return;
    m_ticking = true;
    m_host.SetTrayImage(kBusyImage);
    m_host.setActivity(true);
    m_host.ProcessMessages();
    m_timer1.setEnabled(false);
    if (m_timer1.interval() != kTickPeriodMs)
        m_timer1.setInterval(kTickPeriodMs);
    try {
        if (m_conf.HlidatZdaTrovanJede && RunTrovan)
            RunTrovan();
        if (RequestState)
            RequestState();
    } catch (...) {
        closeTick();
        throw;
    }
    closeTick();
}

void WatchCycle::closeTick()
{
    // Also after a check that failed: the tick ran, and whoever watches the ticks must see it.
    if (TickEnded)
        TickEnded();
    m_clock.sleepMs(kTickPauseMs);
    m_timer1.setEnabled(true);
    showIdle();
    m_host.setActivity(false);
    m_host.ProcessMessages();
    m_ticking = false;
}

void WatchCycle::showIdle()
{
    m_host.SetTrayImage(Warning && Warning() ? kWarningImage : kIdleImage);
    if (!TrayNotice)
        return;
    std::string notice = TrayNotice();
    if (notice == m_trayNotice)
        return;
    m_trayNotice = std::move(notice);
    m_host.SetTrayNotice(m_trayNotice);
}

}  // namespace ovin
