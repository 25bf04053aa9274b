#include <gtest/gtest.h>

#include "support/Fakes.h"
#include "watchdog/Watchdog.h"

namespace ovin {
namespace {

using namespace ovin::test;

// The watchdog with [dohled] feeding the metrics file and the system log, on a fake clock, fake files and a fake
// publisher whose writes the test waits for after each step.
class Feeds : public ::testing::Test {
protected:
    Feeds() { publisher.usableFolders = {"/m", "/m/", "/n"}; }

    void settings(const std::string& dohled)
    {
        files.touch("/app/ovin.ini", "[conf]\r\nInterval=1000\r\n[dohled]\r\n" + dohled);
    }
    void create()
    {
        watchdog = std::make_unique<Watchdog>(WatchdogServices{files, clock, process, processes, launcher, http,
                                                               commands, machine, &systemLog, &publisher},
                                              "/app/", host, trayTimer, timer1);
        watchdog->FormCreate();
        settle();
    }
    void saveSettings(const std::string& dohled)
    {
        settings(dohled);
        watchdog->conf().TakenOver();
        settle();
    }
    // Lets time pass in steps, waiting after each for the metrics file, as a disk that keeps up would.
    void run(std::int64_t ms)
    {
        for (std::int64_t done = 0; done < ms; done += 100) {
            loop.runFor(100);
            settle();
        }
    }
    bool runUntil(const std::function<bool()>& done, std::int64_t maxMs)
    {
        for (std::int64_t waited = 0; !done(); waited += 100) {
            if (waited >= maxMs)
                return false;
            run(100);
        }
        return true;
    }
    void settle()
    {
        if (watchdog->metrics())
            watchdog->metrics()->drain();
        if (watchdog->systemLog())
            watchdog->systemLog()->drain();
    }
    std::size_t writes() const { return publisher.writes().size(); }
    std::string lastWrite() const { return publisher.writes().back().bytes; }
    int logged(const std::string& needle) const
    {
        int n = 0;
        const std::string& text = watchdog->log().text();
        for (auto pos = text.find(needle); pos != std::string::npos; pos = text.find(needle, pos + 1))
            ++n;
        return n;
    }

    FakeClock clock;
    FakeEventLoop loop{clock};
    FakeHost host{&loop};
    FakeFileSystem files;
    FakeProcessControl process;
    FakeProcessTable processes;
    FakeLauncher launcher;
    FakeHttpClient http;
    FakeCommandRunner commands;
    FakeMachineName machine;
    FakeSystemLog systemLog;
    FakePublisher publisher;
    FakeTimer& trayTimer = loop.newTimer();
    FakeTimer& timer1 = loop.newTimer();
    // Last: its metrics worker writes to the fakes above until it ends.
    std::unique_ptr<Watchdog> watchdog;
};

TEST_F(Feeds, TheMetricsFileIsWrittenAtStartOnEachChangeAndEveryFifteenSecondsOtherwise)
{
    settings("Metriky=/m\r\n");
    create();
    ASSERT_NE(watchdog->metrics(), nullptr);
    ASSERT_EQ(writes(), 1u) << "written at start, before the first tick";
    EXPECT_EQ(publisher.writes()[0].path, "/m/ovin.prom");
    EXPECT_NE(lastWrite().find("ovin_watchdog_info{version=\"3.3\",folder=\"/app\"} 1\n"), std::string::npos);

    // The first tick learns the stall limit: a change.
    ASSERT_TRUE(runUntil([&] { return writes() == 2; }, 3000));
    const std::int64_t written = clock.ms();
    // Ticks that change nothing but their own time leave the file alone until it is 15 s old.
    ASSERT_TRUE(runUntil([&] { return writes() == 3; }, 17000));
    EXPECT_GE(clock.ms() - written, 15000);
    EXPECT_LE(clock.ms() - written, 15000 + 1300) << "the first tick past 15 s writes";

    processes.entries.push_back({"trovan.exe", 77});
    run(1100);
    ASSERT_EQ(writes(), 4u) << "a router that came up is a change";
    EXPECT_NE(lastWrite().find("ovin_router_up 1\n"), std::string::npos);
}

TEST_F(Feeds, AFailedWriteIsLoggedOnceAndRetriedEveryTickUntilOneSucceeds)
{
    settings("Metriky=/m\r\n");
    create();
    publisher.failWith("Disk je plny");
    run(8000);
    EXPECT_EQ(logged("Nelze zapsat metriky /m/ovin.prom - Disk je plny"), 1);
    EXPECT_EQ(writes(), 1u);
    publisher.failWith("");
    run(1100);
    EXPECT_EQ(writes(), 2u) << "retried at the next tick although nothing changed";
    run(3300);
    EXPECT_EQ(writes(), 2u);
    EXPECT_EQ(logged("Metriky /m/ovin.prom se opet zapisuji"), 1);
}

TEST_F(Feeds, MetricsFollowTheSettingsFileAtStartAndAtEverySave)
{
    const struct {
        std::string value;
        const char* path;  ///< the metrics file, or null for none
        std::string line;  ///< a line the log must hold, or empty
    } rows[] = {
        {"", nullptr, ""},
        {"Metriky=\r\n", nullptr, ""},
        {"Metriky=/m\r\n", "/m/ovin.prom", ""},
        {"Metriky=/m/\r\n", "/m/ovin.prom", ""},
        {"Metriky=/n\r\n", "/n/ovin.prom", ""},
        {"Metriky=/chybi\r\n", nullptr, "Metriky vypnuty - slozku /chybi nelze pouzit: Adresar neexistuje"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.value);
        const int lines = row.line.empty() ? 0 : logged(row.line);
        settings(row.value);
        watchdog.reset();
        create();
        EXPECT_EQ(watchdog->metrics() ? watchdog->metrics()->path() : "none", row.path ? row.path : "none");
        if (!row.line.empty()) {
            EXPECT_EQ(logged(row.line), lines + 1);
        }
    }
    settings("Metriky=/m\r\n");
    watchdog.reset();
    create();
    saveSettings("Metriky=/n\r\n");
    ASSERT_NE(watchdog->metrics(), nullptr);
    EXPECT_EQ(watchdog->metrics()->path(), "/n/ovin.prom");
    EXPECT_EQ(publisher.writes().back().path, "/n/ovin.prom") << "the new folder gets the file at once";
    const int before = logged("Metriky vypnuty - slozku /chybi nelze pouzit");
    saveSettings("Metriky=/chybi\r\n");
    EXPECT_EQ(watchdog->metrics(), nullptr);
    EXPECT_EQ(logged("Metriky vypnuty - slozku /chybi nelze pouzit"), before + 1);
}

TEST_F(Feeds, TheSystemLogTakesEveryTimestampedLineWithItsKindWhileSwitchedOn)
{
    using L = FakeSystemLog::Line;
    settings("SystemovyLog=1\r\nUtlum=ano\r\n");
    create();
    const std::vector<L> atStart = systemLog.lines;
    ASSERT_FALSE(atStart.empty());
    EXPECT_EQ(atStart.front(), (L{"Neplatne nastaveni [dohled] Utlum=ano (0 nebo 1) - plati 0", SystemLogLevel::Warning,
                                  SystemLogEvent::Warning}))
        << "the complaints of the same reading go there too";

    watchdog->conf().HlidatZdaTrovanJede = true;
    files.files.erase("/app/trovan.exe");
    ASSERT_TRUE(runUntil([&] { return systemLog.lines.size() >= atStart.size() + 3; }, 3000));
    const std::vector<L> expected = {
        {"Nastavena priorita: Normální", SystemLogLevel::Info, SystemLogEvent::Line},
        {"Trovan neni spusten - pokusim se ho spustit", SystemLogLevel::Info, SystemLogEvent::Line},
        {"Nelze spustit Trovan - soubor nenalezen /app/trovan.exe", SystemLogLevel::Error,
         SystemLogEvent::LaunchFailed},
    };
    EXPECT_EQ(
        std::vector<L>(systemLog.lines.begin() + static_cast<std::ptrdiff_t>(atStart.size()), systemLog.lines.end()),
        expected);

    saveSettings("SystemovyLog=0\r\n");
    const std::size_t off = systemLog.lines.size();
    run(2200);
    EXPECT_GT(logged("Nelze spustit Trovan"), 1);
    EXPECT_EQ(systemLog.lines.size(), off) << "switched off at the save";
}

}  // namespace
}  // namespace ovin
