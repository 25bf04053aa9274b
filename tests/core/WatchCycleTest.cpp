#include <gtest/gtest.h>

#include "settings/OvinError.h"
#include "support/Fakes.h"
#include "watchdog/Watchdog.h"

namespace ovin {
namespace {

using namespace ovin::test;

// The watchdog as the main window holds it, on a fake clock and fake files.
class WatchFixture : public ::testing::Test {
protected:
    WatchFixture()
    {
        files.touch("/app/ovin.ini", "[conf]\r\nInterval=3000\r\n");
        host.trayAccepts = true;
    }

    void create()
    {
        watchdog = std::make_unique<Watchdog>(
            WatchdogServices{files, clock, process, processes, launcher, http, commands, machine}, "/app/", host,
            trayTimer, timer1);
        watchdog->FormCreate();
        start = clock.ms();
    }

    WatchCycle& cycle() { return watchdog->cycle(); }
    std::int64_t since() const { return clock.ms() - start; }
    std::string monthFile() const
    {
        const auto it = files.files.find("/app/ovin202612.log");
        return it == files.files.end() ? std::string() : it->second.content;
    }
    int countInLog(const std::string& needle) const
    {
        int n = 0;
        for (auto pos = watchdog->log().text().find(needle); pos != std::string::npos;
             pos = watchdog->log().text().find(needle, pos + 1))
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
    FakeTimer& trayTimer = loop.newTimer();
    FakeTimer& timer1 = loop.newTimer();
    std::unique_ptr<Watchdog> watchdog;
    std::int64_t start = 0;
};

TEST_F(WatchFixture, FirstTickComesAfterTheStartDelayAndLaterOnesASecondAfterTheEnd)
{
    create();
    std::vector<std::int64_t> ticks;
    cycle().RequestState = [&] { ticks.push_back(since()); };
    loop.runFor(999);
    EXPECT_FALSE(timer1.enabled());
    loop.runFor(1);
    EXPECT_TRUE(timer1.enabled()) << "the start timer switches the watch timer on";
    EXPECT_FALSE(trayTimer.enabled()) << "the icon was accepted";
    loop.runFor(3000 + 1100 * 2);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{4000, 5100, 6200}));
    EXPECT_EQ(timer1.interval(), 1000);
}

TEST_F(WatchFixture, ATickShowsBusyWhileItRunsAndIdleAfterwards)
{
    create();
    std::vector<int> imagesDuringTick;
    cycle().RequestState = [&] {
        imagesDuringTick = host.trayImages;
        EXPECT_FALSE(timer1.enabled()) << "ticks do not nest";
        EXPECT_TRUE(host.activity.back());
    };
    loop.runFor(4000);
    EXPECT_EQ(imagesDuringTick, (std::vector<int>{0, 1}));
    EXPECT_EQ(host.trayImages, (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(host.activity, (std::vector<bool>{true, false}));
    EXPECT_EQ(clock.sleeps, (std::vector<int>{100}));
}

TEST_F(WatchFixture, TheRouterCheckRunsOnlyWhenWatchingIsOn)
{
    files.touch("/app/ovin.ini", "[conf]\r\nInterval=1000\r\nHlidatZdaTrovanJede=1\r\n");
    create();
    std::vector<std::string> order;
    cycle().RunTrovan = [&] { order.push_back("router"); };
    cycle().RequestState = [&] { order.push_back("request"); };
    loop.runFor(2000);
    watchdog->conf().HlidatZdaTrovanJede = false;
    loop.runFor(1100);
    EXPECT_EQ(order, (std::vector<std::string>{"router", "request", "request"}));
}

TEST_F(WatchFixture, StartTimerFiringsDuringALongTickNeitherNestNorArmTheNextTickEarly)
{
    files.touch("/app/ovin.ini", "[conf]\r\nInterval=1000\r\nHlidatZdaTrovanJede=1\r\n");
    host.trayAccepts = false;
    create();
    int depth = 0;
    int deepest = 0;
    std::vector<std::int64_t> ticks;
    cycle().RunTrovan = [&] {
        ++depth;
        deepest = std::max(deepest, depth);
        ticks.push_back(since());
        for (int i = 0; i < 3; ++i) {  // the router wait
            clock.sleepMs(1000);
            host.ProcessMessages();
        }
        --depth;
    };
    loop.runFor(2000 + 3100 + 1000);
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{2000, 6100}));
    EXPECT_TRUE(trayTimer.enabled()) << "the icon is still being retried";
}

TEST_F(WatchFixture, AStartDelayOfZeroOrBelowStartsTheFirstTickAtOnce)
{
    for (const char* interval : {"0", "-5"}) {
        files.touch("/app/ovin.ini", std::string("[conf]\r\nInterval=") + interval + "\r\n");
        create();
        std::vector<std::int64_t> ticks;
        cycle().RequestState = [&] { ticks.push_back(since()); };
        loop.runFor(2200);
        EXPECT_EQ(ticks, (std::vector<std::int64_t>{1000, 2100})) << "Interval=" << interval;
        EXPECT_EQ(watchdog->conf().Interval, std::stoi(interval)) << "the setting keeps the value as read";
        watchdog.reset();
    }
}

TEST_F(WatchFixture, ARefusedIconIsRetriedEverySecondWithAPriorityLineEachTime)
{
    host.trayAnswers = {false, false, false, true};
    create();
    loop.runFor(10000);
    EXPECT_EQ(host.addTrayIconCalls, 4);
    EXPECT_FALSE(trayTimer.enabled());
    EXPECT_EQ(countInLog("Nastavena priorita: Normální"), 4);
}

TEST_F(WatchFixture, APriorityTheSystemRefusesIsSaidOnceBesideTheRetriedLine)
{
    process.refuse = true;
    host.trayAnswers = {false, false, true};
    create();
    loop.runFor(5000);
    EXPECT_EQ(countInLog("Nastavena priorita: Normální"), 3);
    EXPECT_EQ(countInLog("Prioritu nelze nastavit - Permission denied"), 1);
    process.refuse = false;
    cycle().SetPriority(1);
    process.refuse = true;
    cycle().SetPriority(1);
    EXPECT_EQ(countInLog("Prioritu nelze nastavit - Permission denied"), 2) << "said again after a success";
}

TEST_F(WatchFixture, TheDohledSectionIsReadAtStartAndAtEverySaveAndItsFaultsLogged)
{
    files.touch("/app/ovin.ini", "[conf]\r\nInterval=3000\r\n[dohled]\r\nUtlum=ano\r\nZdravySekund=30\r\n");
    create();
    EXPECT_EQ(countInLog("] Neplatne nastaveni [dohled] Utlum=ano (0 nebo 1) - plati 0\r\n"), 1);
    EXPECT_EQ(watchdog->dohled().ZdravySekund, 30);
    files.touch("/app/ovin.ini", "[dohled]\r\nZdravySekund=90\r\nUtlumPokusu=0\r\n");
    watchdog->conf().TakenOver();
    EXPECT_EQ(watchdog->dohled().ZdravySekund, 90);
    EXPECT_EQ(countInLog("Neplatne nastaveni [dohled] UtlumPokusu=0 (cislo 1 az 1000) - plati 3"), 1);
    EXPECT_EQ(countInLog("Utlum=ano"), 1) << "a fault no longer in the file is not said again";
}

TEST_F(WatchFixture, EveryTickReachesTheRecordAlsoWhenACheckFailed)
{
    create();
    cycle().RunTrovan = [] { throw OvinError("request file unreadable"); };
    watchdog->conf().HlidatZdaTrovanJede = true;
    EXPECT_EQ(watchdog->record().lastTickUnixMs(), 0);
    loop.runFor(5000);
    EXPECT_GT(watchdog->record().lastTickUnixMs(), 0);
    EXPECT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(watchdog->record().stallLimit(), watchdog->conf().MaxStejnyRequest);
}

TEST_F(WatchFixture, APauseRestsTheIconOnTheWarningImageAndTellsTheTipUntilTheRouterRunsWell)
{
    files.touch("/app/ovin.ini", "[conf]\r\nInterval=1000\r\nHlidatZdaTrovanJede=1\r\n[dohled]\r\nUtlum=1\r\n"
                                 "UtlumPokusu=1\r\nZdravySekund=3\r\n");
    files.touch("/app/trovan.exe", "router");
    create();
    loop.runFor(2100);
    ASSERT_EQ(launcher.opened.size(), 1u);
    EXPECT_EQ(host.trayImages, (std::vector<int>{0, 1, 2})) << "idle, busy, then the warning as the idle image";
    ASSERT_EQ(host.trayNotices.size(), 1u);
    EXPECT_TRUE(host.trayNotices[0].starts_with("Trovan opakovaně padá - další pokus v ")) << host.trayNotices[0];
    loop.runFor(5000);
    EXPECT_EQ(launcher.opened.size(), 1u) << "held within the pause";
    EXPECT_EQ(host.trayImages.back(), 2);
    EXPECT_EQ(host.trayNotices.size(), 1u) << "the tip is told only when it changes";

    launcher.onOpen = [this] { processes.entries.push_back({"trovan.exe", 7}); };
    loop.runFor(10'000);
    EXPECT_EQ(launcher.opened.size(), 2u) << "tried once the pause was over";
    EXPECT_EQ(countInLog("] Trovan bezi - utlum ukoncen\r\n"), 1);
    EXPECT_EQ(host.trayImages.back(), 0);
    EXPECT_EQ(host.trayNotices.back(), "");
    EXPECT_FALSE(watchdog->record().inCrashLoop());
}

TEST_F(WatchFixture, SavingTheSettingsEndsAPauseAndTheNextTickTries)
{
    files.touch("/app/ovin.ini", "[conf]\r\nInterval=1000\r\nHlidatZdaTrovanJede=1\r\n[dohled]\r\nUtlum=1\r\n"
                                 "UtlumPokusu=1\r\n");
    files.touch("/app/trovan.exe", "router");
    create();
    loop.runFor(3200);
    ASSERT_EQ(launcher.opened.size(), 1u);
    watchdog->conf().TakenOver();
    EXPECT_EQ(countInLog("] Utlum zrusen - Trovan se zkusi spustit hned\r\n"), 1);
    loop.runFor(1100);
    EXPECT_EQ(launcher.opened.size(), 2u);
}

TEST_F(WatchFixture, WithoutTheIconTheStartTimerFiresOnce)
{
    files.touch("/app/ovin.ini", "[conf]\r\nZobrazitIkonu=0\r\n");
    create();
    loop.runFor(5000);
    EXPECT_EQ(host.addTrayIconCalls, 0);
    EXPECT_FALSE(trayTimer.enabled());
    EXPECT_TRUE(timer1.enabled());
    EXPECT_EQ(countInLog("Nastavena priorita: Normální"), 1);
    EXPECT_EQ(process.classes, (std::vector<PriorityClass>{PriorityClass::Normal}));
}

TEST_F(WatchFixture, AnErrorInTheRouterCheckSkipsTheRequestCheckAndTheCycleGoesOn)
{
    files.touch("/app/ovin.ini", "[conf]\r\nInterval=1000\r\nHlidatZdaTrovanJede=1\r\n");
    create();
    int routerChecks = 0;
    int requestChecks = 0;
    cycle().RunTrovan = [&] {
        if (++routerChecks == 1)
            throw OvinError("request file unreadable");
    };
    cycle().RequestState = [&] { ++requestChecks; };
    loop.runFor(2000);
    EXPECT_EQ(routerChecks, 1);
    EXPECT_EQ(requestChecks, 0);
    EXPECT_EQ(host.errors, (std::vector<std::string>{"request file unreadable"}));
    EXPECT_TRUE(timer1.enabled()) << "the tick closed all the same";
    EXPECT_EQ(host.trayImages.back(), 0);
    loop.runFor(1100);
    EXPECT_EQ(requestChecks, 1);
}

TEST_F(WatchFixture, PriorityLevelsSetTheClassAndLogTheirLine)
{
    create();
    for (int level = -1; level <= 4; ++level)
        cycle().SetPriority(level);
    EXPECT_EQ(process.classes, (std::vector<PriorityClass>{PriorityClass::Idle, PriorityClass::Normal,
                                                           PriorityClass::High, PriorityClass::RealTime}));
    const std::string& text = watchdog->log().text();
    const auto tail = text.substr(text.find("[00:15:42.512] Nastavena"));
    EXPECT_EQ(tail, "[00:15:42.512] Nastavena priorita: Nízká\r\n[00:15:42.512] Nastavena priorita: Normální\r\n"
                    "[00:15:42.512] Nastavena priorita: Vysoká\r\n[00:15:42.512] Nastavena priorita: Realtime\r\n");
}

TEST_F(WatchFixture, StartInAnEmptyFolderSavesTheStartBlockWithTheMissingRouter)
{
    files.files.clear();
    create();
    EXPECT_EQ(monthFile(),
              "\r\n" + std::string(119, '-') +
                  "\r\n07.12.2026 00:15:42 START\r\nNastaveni:\r\nMazatRequest=b0\r\nHlidatZdaTrovanJede=b0\r\n"
                  "ZobrazitIkonu=b1\r\nMaxStejnyRequest=5\r\nMaxStariRequest=600\r\nMaxRadkuRequest=1\r\n"
                  "CekaniNaTrovan=10\r\nInterval=30000\r\nJinyAdrReq=b0\r\nAdrReq=\r\n\r\n"
                  "RequestPath: \"/app/request.cfg\"\r\nTrovan: \"/app/trovan.exe\"\r\n"
                  "[00:15:42.512] /app/trovan.exe NENALEZEN !\r\n");
    EXPECT_EQ(host.showSettingsCalls, 1);
    loop.runFor(1000);
    const std::string priority = "[00:15:43.512] Nastavena priorita: Normální\r\n";
    EXPECT_EQ(monthFile().substr(monthFile().size() - priority.size()), priority);
}

TEST_F(WatchFixture, WithTheRouterPresentNothingIsWrittenBeforeThePriorityLine)
{
    files.touch("/app/trovan.exe", "MZ");
    create();
    EXPECT_EQ(monthFile(), "");
    loop.runFor(1000);
    EXPECT_EQ(monthFile(), watchdog->log().text());
    EXPECT_NE(monthFile().find("Trovan: \"/app/trovan.exe\"\r\n[00:15:43.512] Nastavena priorita"), std::string::npos);
}

TEST_F(WatchFixture, FailuresDuringCreationAreReportedAndCreationGoesOn)
{
    files.touch("/app/ovin202612.log", "unreadable");
    files.files.at("/app/ovin202612.log").unreadable = true;
    files.files.at("/app/ovin.ini").readOnly = true;
    create();
    EXPECT_EQ(host.errors, (std::vector<std::string>{"Cannot open file \"/app/ovin202612.log\". Permission denied",
                                                     "Unable to write to /app/ovin.ini"}));
    EXPECT_TRUE(trayTimer.enabled());
    EXPECT_EQ(monthFile(), "unreadable" + watchdog->log().text()) << "the run's lines go after what was not loaded";
}

}  // namespace
}  // namespace ovin
