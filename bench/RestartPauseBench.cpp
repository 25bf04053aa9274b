// Launches of a router that dies at once, over ten minutes of the watch cycle: restarted on every tick as the
// watchdog always did, and with the growing pause between restarts at its default settings. The real core runs
// on real files in a scratch folder; only the clock, the timers, the process list and the launcher are stand-ins,
// so ten minutes take a moment.

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/Platform.h"
#include "watchdog/WatchTimer.h"
#include "watchdog/Watchdog.h"
#include "watchdog/WatchdogHost.h"
#include "watchdog/WatchdogServices.h"

namespace {

constexpr std::int64_t kRunMs = 10 * 60 * 1000;
constexpr int kDefaultRouterWaitSeconds = 10;

// Ten minutes of one morning; time moves only when the cycle sleeps or a timer is due.
class SteppedClock final : public ovin::Clock {
public:
    ovin::LocalTime now() const override
    {
        const std::int64_t s = m_ms / 1000;
        return {2026,
                12,
                7,
                static_cast<int>(8 + s / 3600),
                static_cast<int>(s / 60 % 60),
                static_cast<int>(s % 60),
                static_cast<int>(m_ms % 1000)};
    }
    void sleepMs(int ms) override { m_ms += ms; }
    std::int64_t unixMs() const override { return kMorningUnixMs + m_ms; }
    int utcOffsetMinutes() const override { return 60; }

    std::int64_t ms() const { return m_ms; }
    void advanceTo(std::int64_t ms) { m_ms = std::max(m_ms, ms); }

private:
    static constexpr std::int64_t kMorningUnixMs = 1'796'626'800'000;  // 2026-12-07 07:00 UTC
    std::int64_t m_ms = 0;
};

class SteppedTimer final : public ovin::WatchTimer {
public:
    explicit SteppedTimer(const SteppedClock& clock) : m_clock(clock) {}
    void setInterval(int ms) override
    {
        m_interval = ms;
        restart();
    }
    int interval() const override { return m_interval; }
    void setEnabled(bool on) override
    {
        m_enabled = on;
        restart();
    }
    bool enabled() const override { return m_enabled && m_interval > 0; }
    void setOnTimer(std::function<void()> handler) override { m_handler = std::move(handler); }

    std::int64_t due() const { return m_due; }
    void fire()
    {
        m_due = m_clock.ms() + m_interval;
        if (m_handler)
            m_handler();
    }

private:
    void restart() { m_due = m_clock.ms() + m_interval; }

    const SteppedClock& m_clock;
    int m_interval = 0;
    bool m_enabled = false;
    std::int64_t m_due = 0;
    std::function<void()> m_handler;
};

// No router ever runs: every one that is started ends before it is looked for.
class NoRouter final : public ovin::ProcessTable {
public:
    std::vector<ovin::ProcessEntry> snapshot() const override { return {}; }
    ovin::Result terminate(const ovin::ProcessEntry&) override { return ovin::Result::failure("none"); }
};

class CountingLauncher final : public ovin::Launcher {
public:
    ovin::Result open(const std::string&, const std::string&) override
    {
        ++launches;
        return {};
    }
    int launches = 0;
};

class QuietHost final : public ovin::WatchdogHost {
public:
    void ProcessMessages() override {}
    bool AddTrayIcon() override { return true; }
    void SetTrayImage(int) override {}
    void SetTrayNotice(const std::string&) override {}
    void setActivity(bool) override {}
    void ShowSettings() override {}
    int routerWaitSeconds() override { return kDefaultRouterWaitSeconds; }
    void reportError(const std::string& text) override { std::fprintf(stderr, "error: %s\n", text.c_str()); }
};

// Launches in ten minutes with the given [dohled] section.
int launchesIn10Minutes(const std::string& folder, const std::string& dohled)
{
    std::filesystem::remove(folder + "ovin.ini");
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".log")
            std::filesystem::remove(entry.path());
    }
    std::ofstream(folder + "ovin.ini", std::ios::binary) << "[conf]\r\nHlidatZdaTrovanJede=1\r\nInterval=1000\r\n"
                                                         << dohled;

    ovin::Platform platform = ovin::createPlatform();
    SteppedClock clock;
    NoRouter processes;
    CountingLauncher launcher;
    QuietHost host;
    SteppedTimer trayTimer(clock);
    SteppedTimer timer1(clock);
    ovin::Watchdog watchdog(ovin::WatchdogServices{*platform.files, clock, *platform.process, processes, launcher,
                                                   *platform.http, *platform.commands, *platform.machine},
                            folder, host, trayTimer, timer1);
    watchdog.FormCreate();
    while (clock.ms() < kRunMs) {
        SteppedTimer* next = nullptr;
        for (SteppedTimer* t : {&trayTimer, &timer1}) {
            if (t->enabled() && (!next || t->due() < next->due()))
                next = t;
        }
        if (!next)
            break;
        clock.advanceTo(next->due());
        next->fire();
    }
    return launcher.launches;
}

}  // namespace

int main()
{
    char tmpl[] = "/tmp/ovin-bench-XXXXXX";
    if (!mkdtemp(tmpl)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string folder = std::string(tmpl) + "/";
    std::ofstream(folder + "trovan.exe") << "#!/bin/sh\n";
    ::chmod((folder + "trovan.exe").c_str(), 0755);

    const int always = launchesIn10Minutes(folder, "");
    const int paused = launchesIn10Minutes(folder, "[dohled]\r\nUtlum=1\r\n");
    std::printf("Router that dies at once, 10 minutes, wait after a launch %d s:\n", kDefaultRouterWaitSeconds);
    std::printf("  %-34s %4d launches\n", "restarted on every tick (Utlum=0)", always);
    std::printf("  %-34s %4d launches (at most 12)\n", "growing pause (Utlum=1, defaults)", paused);
    std::filesystem::remove_all(tmpl);
    return paused <= 12 ? 0 : 1;
}
