#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "support/Fakes.h"
#include "watchdog/MetricsText.h"
#include "watchdog/PublishWorker.h"
#include "watchdog/SystemLogLine.h"

namespace ovin {
namespace {

using namespace ovin::test;

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The value of one sample line (name with its labels), or nothing when absent.
std::optional<std::string> sampleOf(const std::string& text, const std::string& name)
{
    for (const std::string& line : linesOf(text)) {
        if (line.size() > name.size() && line.compare(0, name.size(), name) == 0 && line[name.size()] == ' ')
            return line.substr(name.size() + 1);
    }
    return std::nullopt;
}

MetricsSnapshot busy()
{
    MetricsSnapshot s;
    s.routerUp = true;
    s.stalls = 3;
    s.kills = 2;
    s.launches = 4;
    s.launchFailures = 1;
    s.crashes = 1;
    s.downtimeMs = 12500;
    s.stallCount = 2;
    s.stallLimit = 5;
    s.requestFileUnixSeconds = 1765062000;
    s.lastLaunchUnixMs = 1765062001250;
    s.startUnixMs = 1765060000000;
    s.lastTickUnixMs = 1765062003007;
    return s;
}

TEST(MetricsText, EveryFamilyHasOneHelpAndOneTypeBeforeItsSamplesAndTheTextEndsWithALineFeed)
{
    MetricsSnapshot s = busy();
    s.inCrashLoop = true;
    s.nextAttemptUnixMs = 1765062060000;
    const std::string text = MetricsText(s, {"3.3", "/opt/ovin"});
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.find('\r'), std::string::npos);
    std::map<std::string, int> helps, types;
    std::set<std::string> sampled;
    for (const std::string& line : linesOf(text)) {
        ASSERT_FALSE(line.empty());
        std::istringstream words(line);
        std::string first, name, type;
        words >> first;
        if (first == "#") {
            std::string what;
            words >> what >> name;
            EXPECT_FALSE(sampled.count(name)) << name << ": HELP and TYPE come before the samples";
            ++(what == "HELP" ? helps : types)[name];
            continue;
        }
        name = first.substr(0, first.find('{'));
        EXPECT_EQ(helps[name], 1) << name;
        EXPECT_EQ(types[name], 1) << name;
        sampled.insert(name);
    }
    EXPECT_EQ(sampled.size(), 16u);
    for (const auto& [name, count] : helps)
        EXPECT_TRUE(sampled.count(name)) << name << " has a HELP line but no sample";
}

TEST(MetricsText, Values)
{
    MetricsSnapshot idle;
    MetricsSnapshot paused = busy();
    paused.inCrashLoop = true;
    paused.nextAttemptUnixMs = 1765062060000;
    struct Row {
        const char* what;
        MetricsSnapshot values;
        std::string name;
        std::optional<std::string> value;
    };
    const Row rows[] = {
        {"counters start at 0", idle, "ovin_router_kills_total", "0"},
        {"a router down", idle, "ovin_router_up", "0"},
        {"no request file: no sample", idle, "ovin_router_request_file_mtime_seconds", std::nullopt},
        {"no pause: no next launch", busy(), "ovin_router_next_launch_timestamp_seconds", std::nullopt},
        {"no pause", busy(), "ovin_router_crashloop", "0"},
        {"a router up", busy(), "ovin_router_up", "1"},
        {"stalls", busy(), "ovin_router_stalls_total", "3"},
        {"kills", busy(), "ovin_router_kills_total", "2"},
        {"launches", busy(), "ovin_router_launches_total", "4"},
        {"launch failures", busy(), "ovin_router_launch_failures_total", "1"},
        {"crashes", busy(), "ovin_router_crashes_total", "1"},
        {"downtime in seconds", busy(), "ovin_router_downtime_seconds_total", "12.5"},
        {"stall count", busy(), "ovin_router_stall_ticks", "2"},
        {"stall limit", busy(), "ovin_router_stall_limit", "5"},
        {"request file", busy(), "ovin_router_request_file_mtime_seconds", "1765062000"},
        {"milliseconds kept", busy(), "ovin_router_last_launch_timestamp_seconds", "1765062001.25"},
        {"whole seconds", busy(), "ovin_watchdog_start_time_seconds", "1765060000"},
        {"leading zeros of the fraction", busy(), "ovin_watchdog_last_tick_timestamp_seconds", "1765062003.007"},
        {"a pause", paused, "ovin_router_crashloop", "1"},
        {"the paused restart", paused, "ovin_router_next_launch_timestamp_seconds", "1765062060"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(sampleOf(MetricsText(row.values, {"3.3", "/opt/ovin"}), row.name), row.value) << row.what;
}

TEST(MetricsText, LabelValuesAreEscaped)
{
    const struct {
        std::string folder;
        std::string label;
    } rows[] = {
        {"/opt/ovin", "/opt/ovin"},
        {R"(C:\Program Files\Ovin)", R"(C:\\Program Files\\Ovin)"},
        {"a\"b", "a\\\"b"},
        {"a\nb", "a\\nb"},
        {"Plocha/Směrovač", "Plocha/Směrovač"},
    };
    for (const auto& row : rows) {
        const std::string text = MetricsText({}, {"3.3", row.folder});
        EXPECT_EQ(sampleOf(text, "ovin_watchdog_info{version=\"3.3\",folder=\"" + row.label + "\"}"), "1")
            << row.folder;
    }
}

TEST(MetricsSnapshot, OnlyValuesAScrapeCouldNotWorkOutCountAsChanges)
{
    MetricsSnapshot open = busy();
    open.outageSinceUnixMs = 1765062000000;
    struct Row {
        const char* what;
        void (*change)(MetricsSnapshot&);
        bool counts;
    };
    const Row rows[] = {
        {"the last tick", [](MetricsSnapshot& s) { s.lastTickUnixMs += 1000; }, false},
        {"the open outage's downtime", [](MetricsSnapshot& s) { s.downtimeMs += 1000; }, false},
        {"an outage ends", [](MetricsSnapshot& s) { s.outageSinceUnixMs.reset(); }, true},
        {"a stall", [](MetricsSnapshot& s) { ++s.stalls; }, true},
        {"a crash", [](MetricsSnapshot& s) { ++s.crashes; }, true},
        {"the router goes", [](MetricsSnapshot& s) { s.routerUp = false; }, true},
        {"the stall counter", [](MetricsSnapshot& s) { ++s.stallCount; }, true},
        {"the request file", [](MetricsSnapshot& s) { s.requestFileUnixSeconds.reset(); }, true},
        {"a pause", [](MetricsSnapshot& s) { s.inCrashLoop = true; }, true},
    };
    for (const Row& row : rows) {
        MetricsSnapshot changed = open;
        row.change(changed);
        EXPECT_EQ(changed.differsFrom(open), row.counts) << row.what;
    }
    MetricsSnapshot closed = busy();
    MetricsSnapshot more = closed;
    more.downtimeMs += 1;
    EXPECT_TRUE(more.differsFrom(closed)) << "a closed outage's downtime";
}

TEST(SystemLogLine, KindAndPriorityOfEachLine)
{
    using E = SystemLogEvent;
    const struct {
        std::string message;
        LineSeverity severity;
        E event;
    } rows[] = {
        {"Prekrocen limit stari souboru 5", LineSeverity::Warning, E::Stall},
        {"Ukoncuji Trovan", LineSeverity::Warning, E::Kill},
        {"Trovan neni spusten - pokusim se ho spustit", LineSeverity::Warning, E::Crash},
        {"Trovan neni spusten - pokusim se ho spustit", LineSeverity::Info, E::Line},
        {"Nelze spustit Trovan - soubor nenalezen /app/trovan.exe", LineSeverity::Error, E::LaunchFailed},
        {"Nelze ukoncit Trovan - Pristup byl odepren", LineSeverity::Error, E::KillRefused},
        {"Trovan spusten", LineSeverity::Info, E::Launched},
        {"Trovan neni spusten - nemam co ukoncit", LineSeverity::Info, E::Line},
        {"Prioritu nelze nastavit - odepreno", LineSeverity::Warning, E::Warning},
        {"Neco se nepovedlo", LineSeverity::Error, E::Error},
        {"Čekám na spuštění Trovan 1 s", LineSeverity::Info, E::Line},
    };
    for (const auto& row : rows)
        EXPECT_EQ(SystemLogEventOf(row.message, row.severity), row.event) << row.message;
    EXPECT_EQ(SystemLogLevelOf(LineSeverity::Info), SystemLogLevel::Info);
    EXPECT_EQ(SystemLogLevelOf(LineSeverity::Warning), SystemLogLevel::Warning);
    EXPECT_EQ(SystemLogLevelOf(LineSeverity::Error), SystemLogLevel::Error);
}

TEST(PublishWorker, ASlowDiskNeitherHoldsTheHandOverNorGetsMoreThanTheNewestText)
{
    FakePublisher disk;
    std::optional<Result> outcome;
    {
        PublishWorker worker(disk, "/m/ovin.prom");
        disk.hold(true);
        worker.hand("first");
        // The worker may or may not have taken "first" before the next texts come; either way only the newest of
        // those that wait is written.
        for (int i = 0; i < 1000; ++i)
            worker.hand("text " + std::to_string(i));
        EXPECT_FALSE(worker.takeOutcome()) << "nothing was written while the disk held";
        disk.hold(false);
        worker.drain();
        outcome = worker.takeOutcome();
        worker.hand("last");
    }
    const auto writes = disk.writes();
    ASSERT_GE(writes.size(), 2u);
    ASSERT_LE(writes.size(), 3u);
    EXPECT_EQ(writes[writes.size() - 2].bytes, "text 999");
    EXPECT_EQ(writes.back().bytes, "last") << "what waits at the end is written";
    EXPECT_EQ(writes.back().path, "/m/ovin.prom");
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->ok);
}

TEST(PublishWorker, AFailedWriteIsReportedWithTheSystemsText)
{
    FakePublisher disk;
    PublishWorker worker(disk, "/m/ovin.prom");
    disk.failWith("Disk je plny");
    worker.hand("a");
    worker.drain();
    const auto outcome = worker.takeOutcome();
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->ok);
    EXPECT_EQ(outcome->error, "Disk je plny");
    EXPECT_FALSE(worker.takeOutcome()) << "an outcome is told once";
}

TEST(PublishWorker, TheEndWaitsABoundedTimeForADiskThatHangs)
{
    // Lives to the end of the tests: the worker's thread is still inside it when the worker is gone.
    static FakePublisher disk;
    disk.hold(true);
    const auto started = std::chrono::steady_clock::now();
    {
        PublishWorker worker(disk, "/m/ovin.prom", 100);
        worker.hand("a");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    disk.hold(false);
}

}  // namespace
}  // namespace ovin
