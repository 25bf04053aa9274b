#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WatchdogRig.h"
#include "watchdog/RouterListener.h"

namespace ovin {
namespace {

using namespace ovin::test;

// What listeners are told, as "name" or "name:downtime-ms" words.
class EventTrail final : public RouterListener {
public:
    void routerEvent(const RouterEvent& event, const RouterRecord&) override
    {
        if (event.kind == RouterEventKind::Tick)
            return;
        if (!words.empty())
            words += ' ';
        words += routerEventName(event.kind);
        if (event.kind == RouterEventKind::Recovered)
            words += ":" + std::to_string(event.downtimeMs);
        lines.push_back(event.line);
    }
    std::string words;
    std::vector<std::string> lines;
};

struct HistoryCase {
    const char* what;
    // R: a tick finds the router running; A: an attempt; L: it runs after the attempt; F: none runs after it;
    // K: the watchdog ends it; k: it tries but nothing ends; digits: that many seconds pass.
    const char* script;
    const char* events;
    RouterCounters counts;
    std::int64_t downtimeMs;
};

void PrintTo(const HistoryCase& c, std::ostream* os) { *os << c.what; }

class History : public ::testing::TestWithParam<HistoryCase> {};

TEST_P(History, DerivesCrashesOutagesAndCounts)
{
    const HistoryCase& c = GetParam();
    FakeClock clock;
    RouterRecord record(clock);
    EventTrail trail;
    record.addListener(trail);
    for (const char* p = c.script; *p; ++p) {
        switch (*p) {
        case 'R': record.routerRunning(); break;
        case 'A': record.attempt("a"); break;
        case 'L': record.launched("l"); break;
        case 'F': record.launchFailed("f"); break;
        case 'K': record.killed("k", true); break;
        case 'k': record.killed("k", false); break;
        default: clock.advance((*p - '0') * 1000); break;
        }
    }
    EXPECT_EQ(trail.words, c.events);
    EXPECT_EQ(record.counters().crashes, c.counts.crashes);
    EXPECT_EQ(record.counters().kills, c.counts.kills);
    EXPECT_EQ(record.counters().launches, c.counts.launches);
    EXPECT_EQ(record.counters().launchFailures, c.counts.launchFailures);
    EXPECT_EQ(record.downtimeMs(), c.downtimeMs);
}

INSTANTIATE_TEST_SUITE_P(
    RouterRecord, History,
    ::testing::Values(
        HistoryCase{"a first start is no crash and no outage", "A2L", "attempt launched", {0, 0, 1, 0, 0}, 0},
        HistoryCase{"a router gone after its start crashed", "AL5A3L",
                    "attempt launched attempt crash launched recovered:3000", {0, 0, 2, 0, 1}, 3000},
        HistoryCase{"one disappearance is one crash however many attempts", "AL5A1F2A3L",
                    "attempt launched attempt crash launch_failed attempt launched recovered:6000", {0, 0, 2, 1, 1},
                    6000},
        HistoryCase{"a router the watchdog ended is no crash; its outage runs from the end", "AL5K2A1L",
                    "attempt launched kill attempt launched recovered:3000", {0, 1, 2, 0, 0}, 3000},
        HistoryCase{"a router found running at start that dies crashed", "RR4A1L",
                    "attempt crash launched recovered:1000", {0, 0, 1, 0, 1}, 1000},
        HistoryCase{"an end that ended nothing starts no outage", "ALkR4", "attempt launched kill", {0, 0, 1, 0, 0},
                    0},
        HistoryCase{"a router back without a start ends the outage", "ALK3R", "attempt launched kill recovered:3000",
                    {0, 1, 1, 0, 0}, 3000},
        HistoryCase{"an open outage counts up to now", "ALK7A1F", "attempt launched kill attempt launch_failed",
                    {0, 1, 1, 1, 0}, 8000}));

TEST(RouterRecord, TodaysStallsAndCrashesStartAgainWithTheDate)
{
    FakeClock clock({2026, 12, 7, 23, 59, 0, 0});
    RouterRecord record(clock);
    record.stall("s");
    record.routerRunning();
    record.attempt("a");
    EXPECT_EQ(record.stallsToday(), 1);
    EXPECT_EQ(record.crashesToday(), 1);
    clock.advance(60'000);
    EXPECT_EQ(record.stallsToday(), 0);
    record.stall("s");
    EXPECT_EQ(record.stallsToday(), 1);
    EXPECT_EQ(record.crashesToday(), 0);
    EXPECT_EQ(record.counters().stalls, 2);
}

TEST(RouterRecord, TheRequestFileStampIsOnTheWorldsClock)
{
    FakeClock clock;
    clock.utcOffset = 120;
    RouterRecord record(clock);
    EXPECT_FALSE(record.requestFileUnixSeconds());
    record.tickEnded(2, 5, dosStamp({2026, 12, 7, 10, 0, 0, 0}), std::nullopt);
    // 2026-12-07 10:00 local at +02:00 is 08:00 UTC.
    EXPECT_EQ(record.requestFileUnixSeconds(), 1796601600 + 8 * 3600);
    EXPECT_EQ(record.stallCount(), 2);
    EXPECT_EQ(record.stallLimit(), 5);
}

// The checks tell the record what the log says, line for line, and give each line the weight the system log
// gives it.
class RecordThroughTheChecks : public ::testing::Test, protected WatchdogRig {
protected:
    RecordThroughTheChecks()
    {
        record.addListener(trail);
        log.setLineListener([this](std::string_view line, LineSeverity severity) {
            static constexpr const char* kMarks[] = {"", "!", "!!"};
            weighed.push_back(kMarks[static_cast<int>(severity)] + std::string(line));
        });
        conf.MaxStejnyRequest = 1;
        launcher.onOpen = [this] { addProcess("trovan.exe"); };
    }
    EventTrail trail;
    std::vector<std::string> weighed;
};

TEST_F(RecordThroughTheChecks, AStallAKillACrashAndAMissingRouter)
{
    runTrovan.RunTrovanExecute();
    files.touch(kRequestPath, "x");
    requestState.RequestStateExecute();
    requestState.RequestStateExecute();
    runTrovan.RunTrovanExecute();
    processes.entries.clear();
    runTrovan.RunTrovanExecute();
    processes.entries.clear();
    files.files.erase(kRouterPath);
    runTrovan.RunTrovanExecute();

    EXPECT_EQ(trail.words, "attempt launched stall kill attempt launched recovered:0 attempt crash launched "
                           "recovered:0 attempt crash missing_exe launch_failed");
    const std::string trying = "Trovan neni spusten - pokusim se ho spustit";
    const std::string missing = "Nelze spustit Trovan - soubor nenalezen " + kRouterPath;
    EXPECT_EQ(trail.lines, (std::vector<std::string>{trying, "Trovan spusten", "Prekrocen limit stari souboru 1",
                                                     "Ukoncuji Trovan", trying, "Trovan spusten", "Trovan spusten",
                                                     trying, trying, "Trovan spusten", "Trovan spusten", trying,
                                                     trying, missing, missing}));
    const auto weightOf = [&](const std::string& line) {
        std::vector<std::string> marks;
        for (const std::string& w : weighed) {
            if (w.ends_with(line))
                marks.push_back(w.substr(0, w.size() - line.size()));
        }
        return marks;
    };
    EXPECT_EQ(weightOf(trying), (std::vector<std::string>{"", "", "!", "!"})) << "only a crash is a warning";
    EXPECT_EQ(weightOf("Prekrocen limit stari souboru 1"), std::vector<std::string>{"!"});
    EXPECT_EQ(weightOf("Ukoncuji Trovan"), std::vector<std::string>{"!"});
    EXPECT_EQ(weightOf(missing), std::vector<std::string>{"!!"});
    EXPECT_TRUE(record.routerUp() == false);
}

}  // namespace
}  // namespace ovin
