#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace ovin {

class Clock;
class EventLog;
class ProcessControl;
class TConf;
class WatchTimer;
class WatchdogHost;

/// The watch cycle: the start timer that brings the watchdog up, and the
/// watch tick that runs the router check and the request-file check in
/// turn, showing busy while it runs.
class WatchCycle {
public:
    /// Period of the watch timer from the first tick on.
    static constexpr int kTickPeriodMs = 1000;
    /// Period of the start timer.
    static constexpr int kStartPeriodMs = 1000;
    /// Pause at the end of every tick.
    static constexpr int kTickPauseMs = 100;
    /// The icon's images: idle, busy while a tick runs, and the idle image
    /// while the router keeps failing.
    static constexpr int kIdleImage = 0;
    static constexpr int kBusyImage = 1;
    static constexpr int kWarningImage = 2;

    WatchCycle(WatchTimer& trayTimer, WatchTimer& timer1, WatchdogHost& host, TConf& conf, EventLog& log,
               ProcessControl& process, Clock& clock);

    WatchCycle(const WatchCycle&) = delete;
    WatchCycle& operator=(const WatchCycle&) = delete;

    /// The two checks (the action list): the router check and restart, and
    /// the request-file check. Either may be empty.
    std::function<void()> RunTrovan;
    std::function<void()> RequestState;
    /// Told when a tick has run its checks (also when one failed), before
    /// its pause; may be empty.
    std::function<void()> TickEnded;
    /// Whether the router keeps failing: the icon then rests on the warning
    /// image; may be empty.
    std::function<bool()> Warning;
    /// What the icon's tip says beyond the title; asked when a tick ends, and
    /// passed on only when it changed. May be empty.
    std::function<std::string()> TrayNotice;

    /// Switches the start timer on and shows the idle image.
    void setUp();

    /// Gives the watch timer its start-up delay. A delay of 0 or below starts
    /// the first tick at once instead of never.
    void armTimer1(std::int32_t intervalMs);

    /// Each firing of the start timer.
    void TrayTimerTimer();

    /// The tick. An error from the router check is passed on after the tick
    /// has closed (timer on again, idle shown).
    void Timer1Timer();

    /// Sets the own process's priority class (0 idle … 3 real-time) and logs
    /// it; other levels do nothing. A class the system refuses is logged with
    /// its reason after that line, once until a setting succeeds again.
    void SetPriority(int level);

private:
    void guarded(const std::function<void()>& handler);
    void closeTick();
    void showIdle();

    WatchTimer& m_trayTimer;
    WatchTimer& m_timer1;
    WatchdogHost& m_host;
    TConf& m_conf;
    EventLog& m_log;
    ProcessControl& m_process;
    Clock& m_clock;
    bool m_ticking = false;
    bool m_priorityRefusalLogged = false;
    std::string m_trayNotice;
};

}  // namespace ovin
