#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "WatchdogRig.h"
#include "settings/DohledSettings.h"
#include "watchdog/RestartPause.h"

namespace ovin {
namespace {

using namespace ovin::test;

constexpr const char* kHealthy = "Trovan bezi - utlum ukoncen";
constexpr const char* kCleared = "Utlum zrusen - Trovan se zkusi spustit hned";
constexpr int kStaysForever = 1'000'000;

std::string pauseLine(int seconds)
{
    return "Trovan opakovane pada - dalsi pokus za " + std::to_string(seconds) + " s";
}

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
// seconds; the last one repeats).
class PauseRig : public WatchdogRig {
public:
    explicit PauseRig(const DohledSettings& settings, double random = 0.0)
        : pause(clock, log, record, [random] { return random; })
    {
        pause.configure(settings);
        runTrovan.launchHeld = [this] { return pause.holdLaunch(); };
        launcher.onOpen = [this] { launch(); };
        log.setLineListener([this](std::string_view line, LineSeverity severity) {
            if (line.starts_with("Trovan opakovane") || line.starts_with("Trovan bezi") || line.starts_with("Utlum"))
                lines.push_back(std::string(severity == LineSeverity::Warning ? "!" : "") + std::string(line));
        });
        m_start = clock.ms();
    }

    int second() const { return static_cast<int>((clock.ms() - m_start) / 1000); }

    void tick()
    {
        if (m_endsAt && second() >= *m_endsAt && !m_killed) {
            processes.entries.clear();
            m_endsAt.reset();
        }
        runTrovan.RunTrovanExecute();
        if (m_endsAt && second() >= *m_endsAt && m_killed) {
            processes.entries.clear();
            m_endsAt.reset();
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
    std::vector<std::string> lines;
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
        m_endsAt = second() + (life < 0 ? -life : life);
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
    std::vector<std::string> lines;
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
    EXPECT_EQ(rig.lines, c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    RestartPause, Schedule,
    ::testing::Values(
        ScheduleCase{"off: an attempt on every tick and no line",
                     pauseSettings(1, 600, 5, false),
                     0.0,
                     {0},
                     6,
                     {0, 1, 2, 3, 4, 5},
                     {}},
        ScheduleCase{
            "after three failures in a row the pause doubles with each further one",
            pauseSettings(3, 600, 5),
            0.0,
            {0},
            160,
            {0, 1, 2, 12, 32, 72, 152},
            {"!" + pauseLine(10), "!" + pauseLine(20), "!" + pauseLine(40), "!" + pauseLine(80), "!" + pauseLine(160)}},
        ScheduleCase{
            "the pause stops growing at the longest",
            pauseSettings(1, 30, 5),
            0.0,
            {0},
            100,
            {0, 10, 30, 60, 90},
            {"!" + pauseLine(10), "!" + pauseLine(20), "!" + pauseLine(30), "!" + pauseLine(30), "!" + pauseLine(30)}},
        ScheduleCase{"the random part adds at most a tenth",
                     pauseSettings(1, 600, 5),
                     0.999999,
                     {0},
                     40,
                     {0, 11, 33},
                     {"!" + pauseLine(11), "!" + pauseLine(22), "!" + pauseLine(44)}},
        ScheduleCase{"half of the tenth is told rounded up",
                     pauseSettings(1, 600, 5),
                     0.5,
                     {0},
                     12,
                     {0, 11},
                     {"!" + pauseLine(11), "!" + pauseLine(21)}},
        ScheduleCase{"a router gone before the healthy time failed",
                     pauseSettings(2, 600, 5),
                     0.0,
                     {3},
                     40,
                     {0, 3, 16, 39},
                     {"!" + pauseLine(10), "!" + pauseLine(20)}},
        ScheduleCase{"a healthy run clears the count and the pause",
                     pauseSettings(2, 600, 5),
                     0.0,
                     {0, 0, 0, 10, 0},
                     55,
                     {0, 1, 11, 31, 41, 42, 52},
                     {"!" + pauseLine(10), "!" + pauseLine(20), kHealthy, "!" + pauseLine(10), "!" + pauseLine(20)}},
        ScheduleCase{"a router ended for a stall soon after its start failed",
                     pauseSettings(1, 600, 5),
                     0.0,
                     {-2},
                     35,
                     {0, 12, 34},
                     {"!" + pauseLine(10), "!" + pauseLine(20)}},
        ScheduleCase{"a router ended for a stall after a healthy run did not",
                     pauseSettings(1, 600, 5),
                     0.0,
                     {-8},
                     20,
                     {0, 9, 18},
                     {}},
        ScheduleCase{
            "a router that stays is never held", pauseSettings(1, 600, 5), 0.0, {kStaysForever}, 30, {0}, {}}));

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
        std::vector<std::string> lines{"!" + pauseLine(10), kCleared};
        if (!switchOff)
            lines.push_back("!" + pauseLine(10));
        EXPECT_EQ(rig.lines, lines);
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
