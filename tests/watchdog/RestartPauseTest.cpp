#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "WatchdogRig.h"
#include "settings/DohledSettings.h"
#include "watchdog/RestartPause.h"

namespace ovin {
namespace {

using namespace ovin::test;

constexpr int kStaysForever = 1'000'000;

DohledSettings pauseSettings(int attempts, int maxSeconds, int healthySeconds, bool on = true)
{
    DohledSettings s;
    s.Utlum = on;
    s.UtlumPokusu = attempts;
    s.UtlumMaxSekund = maxSeconds;
    s.ZdravySekund = healthySeconds;
    return s;
}

// The router check and the rule on the fake clock, one tick a second; each launch gives a router that lives
// for the next of `lives` seconds (0: none runs after the attempt; below 0: ended for a stall after that many
// seconds; the last one repeats). The rule's lines are kept as words: "10!" for a pause of 10 s logged as a
// warning, "ok" when the router runs healthy, "cleared" when the pause was called off.
class PauseRig : public WatchdogRig {
public:
    explicit PauseRig(const DohledSettings& settings, double random = 0.0)
        : pause(clock, log, record, [random] { return random; })
    {
        pause.configure(settings);
        runTrovan.launchHeld = [this] { return pause.holdLaunch(); };
        launcher.onOpen = [this] { launch(); };
        log.setLineListener([this](std::string_view line, LineSeverity severity) { keep(line, severity); });
        m_start = clock.ms();
    }

    int second() const { return static_cast<int>((clock.ms() - m_start) / 1000); }

    void tick()
    {
        if (m_endsAt && second() >= *m_endsAt && !m_killed)
            ends();
        runTrovan.RunTrovanExecute();
        if (m_endsAt && second() >= *m_endsAt && m_killed) {
            ends();
            record.killed("Ukoncuji Trovan", true);
        }
        // As the watchdog tells the record: a held check found no router.
        record.tickEnded(0, 5, 0, pause.held() ? std::optional<bool>(false) : std::nullopt);
        clock.advance(1000);
    }

    void run(int seconds)
    {
        while (second() < seconds)
            tick();
    }

    std::vector<int> lives{0};
    std::vector<int> attempts;
    std::string words;
    RestartPause pause;

private:
    void launch()
    {
        attempts.push_back(second());
        const int life = lives[std::min(m_launches++, lives.size() - 1)];
        if (life == 0)
            return;
        addProcess("trovan.exe");
        m_killed = life < 0;
        m_endsAt = second() + std::abs(life);
    }
    void ends()
    {
        processes.entries.clear();
        m_endsAt.reset();
    }
    void keep(std::string_view line, LineSeverity severity)
    {
        static constexpr std::string_view kPause = "Trovan opakovane pada - dalsi pokus za ";
        std::string word;
        if (line.starts_with(kPause) && line.ends_with(" s"))
            word = std::string(line.substr(kPause.size(), line.size() - kPause.size() - 2));
        else if (line == "Trovan bezi - utlum ukoncen")
            word = "ok";
        else if (line == "Utlum zrusen - Trovan se zkusi spustit hned")
            word = "cleared";
        else
            return;
        words += (words.empty() ? "" : " ") + word + (severity == LineSeverity::Warning ? "!" : "");
    }

    std::int64_t m_start = 0;
    std::size_t m_launches = 0;
    std::optional<int> m_endsAt;
    bool m_killed = false;
};

struct ScheduleCase {
    const char* what;
    DohledSettings settings;
    double random;
    std::vector<int> lives;
    int seconds;
    std::vector<int> attempts;
    const char* words;
};

void PrintTo(const ScheduleCase& c, std::ostream* os) { *os << c.what; }

class Schedule : public ::testing::TestWithParam<ScheduleCase> {};

TEST_P(Schedule, LaunchesFollowThePauses)
{
    const ScheduleCase& c = GetParam();
    PauseRig rig(c.settings, c.random);
    rig.lives = c.lives;
    rig.run(c.seconds);
    EXPECT_EQ(rig.attempts, c.attempts);
    EXPECT_EQ(rig.words, c.words);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(RestartPause, Schedule, ::testing::Values(
    ScheduleCase{"off: an attempt on every tick and no line", pauseSettings(1, 600, 5, false), 0, {0}, 6,
                 {0, 1, 2, 3, 4, 5}, ""},
    ScheduleCase{"after three failures in a row the pause doubles with each further one", pauseSettings(3, 600, 5),
                 0, {0}, 160, {0, 1, 2, 12, 32, 72, 152}, "10! 20! 40! 80! 160!"},
    ScheduleCase{"the pause stops growing at the longest", pauseSettings(1, 30, 5), 0, {0}, 100,
                 {0, 10, 30, 60, 90}, "10! 20! 30! 30! 30!"},
    ScheduleCase{"the random part adds at most a tenth", pauseSettings(1, 600, 5), 0.999999, {0}, 40, {0, 11, 33},
                 "11! 22! 44!"},
    ScheduleCase{"half of the tenth is told rounded up", pauseSettings(1, 600, 5), 0.5, {0}, 12, {0, 11}, "11! 21!"},
    ScheduleCase{"a router gone before the healthy time failed", pauseSettings(2, 600, 5), 0, {3}, 40,
                 {0, 3, 16, 39}, "10! 20!"},
    ScheduleCase{"a healthy run clears the count and the pause", pauseSettings(2, 600, 5), 0, {0, 0, 0, 10, 0}, 55,
                 {0, 1, 11, 31, 41, 42, 52}, "10! 20! ok 10! 20!"},
    ScheduleCase{"a router ended for a stall soon after its start failed", pauseSettings(1, 600, 5), 0, {-2}, 35,
                 {0, 12, 34}, "10! 20!"},
    ScheduleCase{"a router ended for a stall after a healthy run did not", pauseSettings(1, 600, 5), 0, {-8}, 20,
                 {0, 9, 18}, ""},
    ScheduleCase{"a router that stays is never held", pauseSettings(1, 600, 5), 0, {kStaysForever}, 30, {0}, ""}));
// clang-format on

TEST(RestartPause, BasePauseDoublesFromTheThresholdUpToTheCap)
{
    struct Row {
        int failures, threshold, maxSeconds;
        std::int64_t ms;
    };
    const Row rows[] = {
        {0, 3, 600, 0},       {2, 3, 600, 0},       {3, 3, 600, 10'000},          {4, 3, 600, 20'000},
        {8, 3, 600, 320'000}, {9, 3, 600, 600'000}, {1000, 1, 86400, 86'400'000}, {5, 1, 10, 10'000},
    };
    for (const Row& r : rows)
        EXPECT_EQ(RestartPause::basePauseMs(r.failures, r.threshold, r.maxSeconds), r.ms)
            << r.failures << " failures, threshold " << r.threshold << ", cap " << r.maxSeconds;
}

TEST(RestartPause, TheRecordKnowsThePauseUntilItEnds)
{
    PauseRig rig(pauseSettings(2, 600, 5));
    rig.run(2);
    ASSERT_TRUE(rig.record.inCrashLoop());
    EXPECT_EQ(rig.record.nextAttemptUnixMs(), rig.clock.unixMs() - 1000 + 10'000) << "from the second failure on";
    const std::int64_t first = rig.record.nextAttemptUnixMs();
    rig.run(12);
    EXPECT_EQ(rig.record.nextAttemptUnixMs(), first + 20'000) << "changed by the failure after the pause";
    rig.lives = {kStaysForever};
    rig.run(50);
    EXPECT_FALSE(rig.record.inCrashLoop());
    EXPECT_EQ(rig.record.nextAttemptUnixMs(), 0);
    EXPECT_EQ(rig.pause.failures(), 0);
}

TEST(RestartPause, SavingTheSettingsOrSwitchingOffTriesAtOnce)
{
    for (const bool switchOff : {false, true}) {
        SCOPED_TRACE(switchOff ? "switched off" : "ULOŽIT");
        PauseRig rig(pauseSettings(2, 600, 5));
        rig.run(5);
        ASSERT_EQ(rig.attempts, (std::vector<int>{0, 1}));
        if (switchOff)
            rig.pause.configure(pauseSettings(2, 600, 5, false));
        rig.record.settingsSaved();
        EXPECT_FALSE(rig.record.inCrashLoop());
        rig.run(7);
        EXPECT_EQ(rig.attempts, (std::vector<int>{0, 1, 5, 6})) << "the count starts again";
        EXPECT_EQ(rig.words, switchOff ? "10! cleared" : "10! cleared 10!");
    }
}

TEST(RestartPause, TheNoticeSaysWhenTheNextAttemptComesOnTheLocalClock)
{
    struct Row {
        LocalTime now;
        std::int64_t aheadMs;
        const char* notice;
    };
    const Row rows[] = {
        {{2026, 12, 7, 0, 15, 42, 512}, 10'000, "Trovan opakovaně padá - další pokus v 00:15:53"},
        {{2026, 12, 7, 23, 59, 55, 0}, 10'000, "Trovan opakovaně padá - další pokus v 00:00:05"},
        {{2026, 12, 7, 9, 0, 0, 0}, 600'000, "Trovan opakovaně padá - další pokus v 09:10:00"},
    };
    for (const Row& r : rows) {
        FakeClock clock(r.now);
        RouterRecord record(clock);
        EXPECT_EQ(restartPauseNotice(record, clock), "") << "no pause, no notice";
        record.crashLoop("x", clock.unixMs() + r.aheadMs);
        EXPECT_EQ(restartPauseNotice(record, clock), r.notice);
    }
}

}  // namespace
}  // namespace ovin
