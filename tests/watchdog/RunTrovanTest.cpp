#include <gtest/gtest.h>

#include "WatchdogRig.h"
#include "settings/OvinError.h"
#include "watchdog/Watchdog.h"

namespace ovin {
namespace {

using namespace ovin::test;
using Lines = std::vector<std::string>;

const std::string kTrying = "Trovan neni spusten - pokusim se ho spustit";
const std::string kFound = "Pred spustenim nalezen " + kRequestPath;
const std::string kDeleting = "Mazu soubor " + kRequestPath;
const std::string kKeeping = "Nechavam soubor request.cfg na disku";
// The moment the leftover request file was written.
const LocalTime kWritten{2026, 12, 7, 0, 10, 0, 0};

class RunTrovanTest : public ::testing::Test, protected WatchdogRig {
protected:
    Lines run()
    {
        runTrovan.RunTrovanExecute();
        return newLines();
    }
    void leaveRequest(std::string content, std::int64_t ageMs)
    {
        files.touch(kRequestPath, std::move(content));
        files.files[kRequestPath].stamp = dosStamp(kWritten);
        clock.set(kWritten);
        clock.advance(ageMs);
    }
};

TEST_F(RunTrovanTest, ARunningRouterLeavesEverythingAlone)
{
    addProcess("TROVAN.EXE");
    EXPECT_EQ(run(), Lines{});
    EXPECT_TRUE(launcher.opened.empty());
}

TEST_F(RunTrovanTest, AMissingExecutableIsReportedAndNotStarted)
{
    files.files.erase(kRouterPath);
    host.waitSeconds = 3;
    EXPECT_EQ(run(), (Lines{kTrying, "Nelze spustit Trovan - soubor nenalezen " + kRouterPath}));
    EXPECT_TRUE(launcher.opened.empty());
    EXPECT_TRUE(clock.sleeps.empty());
}

TEST_F(RunTrovanTest, TheStartIsFollowedByOneLinePerSecondOfTheWait)
{
    host.waitSeconds = 3;
    launcher.onOpen = [this] { addProcess("trovan.exe"); };
    Lines tailsAtMessages;
    host.onProcessMessages = [&] {
        tailsAtMessages.push_back(log.text().substr(log.text().size() - 12));
        // A wait changed meanwhile is read at the next start only.
        host.waitSeconds = 10;
    };
    runTrovan.RunTrovanExecute();

    EXPECT_EQ(log.text(), "[00:15:42.512] Trovan neni spusten - pokusim se ho spustit\r\n"
                          "[00:15:43.512] Čekám na spuštění Trovan 1 s\r\n"
                          "[00:15:44.512] Čekám na spuštění Trovan 2 s\r\n"
                          "[00:15:45.512] Čekám na spuštění Trovan 3 s\r\n"
                          "[00:15:45.512] Trovan spusten\r\n");
    EXPECT_EQ(launcher.opened, (std::vector<std::pair<std::string, std::string>>{{kRouterPath, kAppFolder}}));
    EXPECT_EQ(clock.sleeps, (std::vector<int>{1000, 1000, 1000}));
    EXPECT_EQ(tailsAtMessages, (Lines{"Trovan 1 s\r\n", "Trovan 2 s\r\n", "Trovan 3 s\r\n"}));
}

TEST_F(RunTrovanTest, ARouterThatDoesNotComeUpGetsNoFinalLine)
{
    EXPECT_EQ(run(), Lines{kTrying});
    EXPECT_EQ(launcher.opened.size(), 1u);
    EXPECT_TRUE(clock.sleeps.empty());
    EXPECT_EQ(run(), Lines{kTrying}) << "the next tick tries again";
}

TEST_F(RunTrovanTest, AStartTheSystemRefusesIsLoggedWithItsReasonAndTheWaitStillRuns)
{
    launcher.fail = true;
    host.waitSeconds = 2;
    EXPECT_EQ(run(), (Lines{kTrying, "Nelze spustit Trovan - No such file or directory", "Čekám na spuštění Trovan 1 s",
                            "Čekám na spuštění Trovan 2 s"}));
    EXPECT_EQ(record.counters().launchFailures, 1);
    EXPECT_EQ(run().size(), 4u) << "each attempt says why it failed";
}

TEST_F(RunTrovanTest, AHeldLaunchMakesNoAttemptAndLogsNothing)
{
    bool held = true;
    runTrovan.launchHeld = [&] { return held; };
    EXPECT_EQ(run(), Lines{});
    EXPECT_TRUE(launcher.opened.empty());
    held = false;
    EXPECT_EQ(run(), Lines{kTrying});
    EXPECT_EQ(launcher.opened.size(), 1u);
}

struct LeftoverCase {
    const char* what;
    std::string content;
    std::int64_t ageMs;  // negative: written in the future
    std::int32_t maxLines;
    std::int32_t maxAgeS;
    bool deleting;
    Lines lines;  // after the "found" line
    bool stays;
};

void PrintTo(const LeftoverCase& c, std::ostream* os) { *os << c.what; }

class Leftover : public RunTrovanTest, public ::testing::WithParamInterface<LeftoverCase> {};

TEST_P(Leftover, IsCopiedKeptOrDeletedBeforeTheStart)
{
    const LeftoverCase& c = GetParam();
    conf.MaxRadkuRequest = c.maxLines;
    conf.MaxStariRequest = c.maxAgeS;
    conf.MazatRequest = c.deleting;
    leaveRequest(c.content, c.ageMs);
    Lines expected{kTrying, kFound};
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    EXPECT_EQ(run(), expected) << c.what;
    EXPECT_EQ(files.fileExists(kRequestPath), c.stays) << c.what;
    EXPECT_EQ(launcher.opened.size(), 1u) << c.what;
}

const std::string kYoung = "Stari request.cfg (100s)  <  MaxStariRequest (600s)";
const std::string kOld = "Stari request.cfg (600s)  >=  MaxStariRequest (600s)";
const std::string kAlways = "MaxStariRequest nastaven na 0 = Mazu vzdy";

INSTANTIATE_TEST_SUITE_P(
    Files, Leftover,
    ::testing::Values(LeftoverCase{"long and young",
                                   "r1\r\nr2\r\n",
                                   100'000,
                                   1,
                                   600,
                                   true,
                                   {"Radku v request.cfg (2)   >=   MaxRadkuRequest(1)", "r1", "r2", kYoung, kKeeping},
                                   true},
                      LeftoverCase{"short", "r1\r\nr2", 100'000, 3, 600, true, {kYoung, kKeeping}, true},
                      LeftoverCase{
                          "every kind of line break",
                          "a\rb\nc\r\nd",
                          100'000,
                          4,
                          600,
                          true,
                          {"Radku v request.cfg (4)   >=   MaxRadkuRequest(4)", "a", "b", "c", "d", kYoung, kKeeping},
                          true},
                      LeftoverCase{"empty", "", 100'000, 1, 600, true, {kYoung, kKeeping}, true},
                      LeftoverCase{"empty with no line limit",
                                   "",
                                   100'000,
                                   0,
                                   600,
                                   true,
                                   {"Radku v request.cfg (0)   >=   MaxRadkuRequest(0)", kYoung, kKeeping},
                                   true},
                      LeftoverCase{"599.9 s counts as 599 s",
                                   "",
                                   599'900,
                                   5,
                                   600,
                                   true,
                                   {"Stari request.cfg (599s)  <  MaxStariRequest (600s)", kKeeping},
                                   true},
                      LeftoverCase{"600 s", "", 600'000, 5, 600, true, {kOld, kDeleting}, false},
                      LeftoverCase{"600 s, deleting off", "", 600'000, 5, 600, false, {kOld}, true},
                      LeftoverCase{"written in the future", "", -100'300, 5, 600, true, {kYoung, kKeeping}, true},
                      LeftoverCase{"age limit 0", "", 5'000, 5, 0, true, {kAlways, kDeleting}, false},
                      LeftoverCase{"age limit 0, deleting off", "", 5'000, 5, 0, false, {kAlways}, true}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(RunTrovanTest, ALeftoverThatCannotBeReadOrVanishesLeavesTheCheck)
{
    leaveRequest("r1\r\n", 100'000);
    files.files[kRequestPath].unreadable = true;
    try {
        runTrovan.RunTrovanExecute();
        FAIL() << "no error";
    } catch (const OvinError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + kRequestPath + "\". Permission denied");
    }
    EXPECT_EQ(newLines(), (Lines{kTrying, kFound}));

    files.files[kRequestPath].unreadable = false;
    files.files[kRequestPath].stamp = -1;
    EXPECT_THROW(runTrovan.RunTrovanExecute(), OvinError);
    EXPECT_EQ(newLines(), (Lines{kTrying, kFound, "Radku v request.cfg (1)   >=   MaxRadkuRequest(1)", "r1"}));
    EXPECT_TRUE(launcher.opened.empty());
}

TEST_F(RunTrovanTest, AFreshRouterSurvivesTheTickThatStartedIt)
{
    addProcess("trovan.exe");
    files.touch(kRequestPath, "stuck");
    for (int tick = 0; tick < 6; ++tick)
        requestState.RequestStateExecute();
    ASSERT_EQ(processes.terminated.size(), 1u);
    ASSERT_FALSE(files.fileExists(kRequestPath));
    newLines();

    // The new router writes its request file before the check looks.
    launcher.onOpen = [this] {
        addProcess("trovan.exe");
        files.touch(kRequestPath, "fresh");
    };
    runTrovan.RunTrovanExecute();
    requestState.RequestStateExecute();
    EXPECT_EQ(newLines(), (Lines{kTrying, "Trovan spusten", kRequestPath + " 7.12.2026 00:00:00  5B"}));
    EXPECT_EQ(processes.terminated.size(), 1u);
    EXPECT_EQ(requestState.stallCounter(), 0);
}

TEST_F(RunTrovanTest, AStartThatCouldNotBeMadeKeepsTheStallCount)
{
    conf.MazatRequest = false;
    conf.MaxStejnyRequest = 1;
    leaveRequest("x", 10'000);
    requestState.RequestStateExecute();
    requestState.RequestStateExecute();
    ASSERT_EQ(requestState.stallCounter(), 1);
    launcher.fail = true;
    runTrovan.RunTrovanExecute();
    EXPECT_EQ(requestState.stallCounter(), 1);
}

// The router check inside a real tick: its error skips the request-file
// check of that tick and is reported once.
TEST_F(RunTrovanTest, InATickAnUnreadableRequestFileIsReportedOnceAndSkipsTheRequestCheck)
{
    FakeTimer& trayTimer = loop.newTimer();
    FakeTimer& timer1 = loop.newTimer();
    files.touch("/app/ovin.ini", "[conf]\r\nInterval=1000\r\nHlidatZdaTrovanJede=1\r\nZobrazitIkonu=0\r\n");
    files.touch(kRequestPath, "r1\r\n");
    files.files[kRequestPath].unreadable = true;

    Watchdog watchdog(services, kAppFolder, host, trayTimer, timer1);
    watchdog.FormCreate();
    // The start timer fires after a second and arms the first tick a second
    // later; the tick ends with a pause of 100 ms.
    loop.runFor(2000 + WatchCycle::kTickPauseMs);

    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_NE(host.errors[0].find(kRequestPath), std::string::npos);
    const std::string& text = watchdog.log().text();
    EXPECT_NE(text.find(kFound), std::string::npos);
    EXPECT_EQ(text.find(kRequestPath + " 7.12.2026"), std::string::npos) << "the request-file check ran";
    EXPECT_TRUE(launcher.opened.empty());
    EXPECT_TRUE(timer1.enabled()) << "the tick closed";
}

// A copy of the request file that the log cannot take: reported once until a
// copy fits again, never read into memory, and the router is started anyway.
TEST_F(RunTrovanTest, ACopyTheLogCannotTakeIsReportedOnceAndTheRouterStartsAnyway)
{
    files.chunkBytes = 4;
    leaveRequest(std::string(200, 'r') + "\r\n", 100'000);
    log.setCapacity(log.text().size() + 150);
    conf.MazatRequest = false;
    const Lines tick{kTrying, kFound, "Radku v request.cfg (1)   >=   MaxRadkuRequest(1)", kYoung, kKeeping};
    for (int restart = 0; restart < 3; ++restart) {
        files.bytesRead = 0;
        EXPECT_EQ(run(), tick) << restart;
        EXPECT_EQ(files.bytesRead, 202u) << "counted, not copied";
        EXPECT_EQ(launcher.opened.size(), static_cast<std::size_t>(restart + 1));
    }
    EXPECT_EQ(host.errors, Lines{"Text exceeds memo capacity"});

    // A copy that fits again ends the refusal; the next one is reported anew.
    files.touch(kRequestPath, "r1\r\n");
    log.setCapacity(log.text().size() + 1000);
    EXPECT_EQ(run(),
              (Lines{kTrying, kFound, "Radku v request.cfg (1)   >=   MaxRadkuRequest(1)", "r1", kYoung, kKeeping}));
    log.setCapacity(log.text().size());
    run();
    EXPECT_EQ(host.errors, (Lines{"Text exceeds memo capacity", "Text exceeds memo capacity"}));
}

TEST_F(RunTrovanTest, ARequestFileThatGrowsBetweenCountAndCopyIsNotHeldBeyondTheLogsRoom)
{
    leaveRequest("r1\r\n", 100'000);
    log.setCapacity(log.text().size() + 64);
    // The router writes on after the lines were counted.
    files.chunkBytes = 2;
    files.beforeStreamedRead = [this] {
        if (files.streamedReads == 2)
            files.files[kRequestPath].content = std::string(500, 'g');
    };
    run();
    EXPECT_EQ(host.errors, Lines{"Text exceeds memo capacity"});
    EXPECT_LE(files.bytesRead, 4u + 64u + 2u) << "the copy stopped at the log's room";
    EXPECT_EQ(launcher.opened.size(), 1u);
}

TEST_F(RunTrovanTest, ARouterExecutableThatOthersCanChangeIsNotRunOnAnyTick)
{
    files.openToOthers.insert(kRouterPath);
    leaveRequest("r1\r\n", 100'000);
    host.waitSeconds = 3;
    const Lines tick{kTrying, "Nelze spustit Trovan - soubor muze menit jiny uzivatel " + kRouterPath};
    EXPECT_EQ(run(), tick);
    EXPECT_EQ(run(), tick);
    EXPECT_TRUE(launcher.opened.empty());
    EXPECT_TRUE(clock.sleeps.empty());
    EXPECT_EQ(files.bytesRead, 0u) << "the request file waits for a router that may run";
    files.openToOthers.clear();
    run();
    EXPECT_EQ(launcher.opened.size(), 1u);
}

}  // namespace
}  // namespace ovin
