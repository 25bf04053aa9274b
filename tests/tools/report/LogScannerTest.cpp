// The month file's lines as the report reads them: each kind of line, the
// dating across midnight and month ends, and every kind of damage.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/report/LogScanner.h"
#include "tools/report/MachineReport.h"

namespace ovin::report {
namespace {

const std::string kSeparator(119, '-');

// The start block as the watchdog writes it, with the given stamp.
std::string startBlock(const std::string& stamp)
{
    return "\r\n" + kSeparator + "\r\n" + stamp + " START\r\nNastaveni:\r\nMazatRequest=b1\r\nInterval=30000\r\n\r\n" +
           "RequestPath: \"/srv/r/request.cfg\"\r\nTrovan: \"/srv/r/trovan.exe\"\r\n";
}

std::string timed(const std::string& time, const std::string& message) { return "[" + time + "] " + message + "\r\n"; }

const std::string kAttempt = "Trovan neni spusten - pokusim se ho spustit";
const std::string kLaunched = "Trovan spusten";
const std::string kStall = "Prekrocen limit stari souboru 5";
const std::string kKill = "Ukoncuji Trovan";
const std::string kMissing = "Nelze spustit Trovan - soubor nenalezen /srv/r/trovan.exe";
const std::string kClosing = "UKONCENI PROGRAMU";

FileScan scan(const std::string& name, const std::string& text, std::size_t piece = 0)
{
    LogScanner scanner(name);
    if (piece == 0) {
        scanner.feed(text);
    } else {
        for (std::size_t at = 0; at < text.size(); at += piece)
            scanner.feed(std::string_view(text).substr(at, piece));
    }
    return scanner.finish();
}

MachineReport machine(const std::vector<std::pair<std::string, std::string>>& files, Period period = {})
{
    std::vector<FileScan> scans;
    for (const auto& [name, text] : files)
        scans.push_back(scan(name, text));
    return summarizeMachine("m", std::move(scans), period);
}

TEST(LogLineTest, EachKindOfLine)
{
    struct Row {
        std::string line;
        LineKind kind;
        LineEvent event;
        std::int32_t timeMs;
    };
    const Row rows[] = {
        {"[00:00:00.000] Nastavena priorita: Normální", LineKind::Timed, LineEvent::None, 0},
        {"[23:59:59.999] " + kAttempt, LineKind::Timed, LineEvent::Attempt, 86'399'999},
        {"[12:00:01.020] " + kLaunched, LineKind::Timed, LineEvent::Launched, 43'201'020},
        {"[12:00:00.000] " + kStall, LineKind::Timed, LineEvent::Stall, 43'200'000},
        {"[12:00:00.000] Prekrocen limit stari souboru ", LineKind::Timed, LineEvent::None, 43'200'000},
        {"[12:00:00.000] Prekrocen limit stari souboru 5x", LineKind::Timed, LineEvent::None, 43'200'000},
        {"[12:00:00.000] " + kKill, LineKind::Timed, LineEvent::Kill, 43'200'000},
        {"[12:00:00.000] " + kMissing, LineKind::Timed, LineEvent::MissingExe, 43'200'000},
        {"[12:00:00.000] " + kClosing, LineKind::Timed, LineEvent::Closing, 43'200'000},
        // A message that only begins like an event is none.
        {"[12:00:00.000] Trovan spusten!", LineKind::Timed, LineEvent::None, 43'200'000},
        {"[12:00:00.000] Trovan neni spusten - nemam co ukoncit", LineKind::Timed, LineEvent::None, 43'200'000},
        {"[12:00:00.000] ", LineKind::Timed, LineEvent::None, 43'200'000},
        {"07.12.2026 00:15:42 START", LineKind::Start, LineEvent::None, 942'000},
        {"", LineKind::Untimed, LineEvent::None, 0},
        {kSeparator, LineKind::Untimed, LineEvent::None, 0},
        {"Nastaveni:", LineKind::Untimed, LineEvent::None, 0},
        {"MaxStejnyRequest=5", LineKind::Untimed, LineEvent::None, 0},
        {"RequestPath: \"C:\\r\\request.cfg\"", LineKind::Untimed, LineEvent::None, 0},
        // Hand edits, truncations, a request file's copy, impossible stamps.
        {"[12:00:0", LineKind::Unreadable, LineEvent::None, 0},
        {"[12:00:00.000]Trovan spusten", LineKind::Unreadable, LineEvent::None, 0},
        {"[24:00:00.000] Trovan spusten", LineKind::Unreadable, LineEvent::None, 0},
        {"[12:60:00.000] Trovan spusten", LineKind::Unreadable, LineEvent::None, 0},
        {"07.13.2026 00:15:42 START", LineKind::Unreadable, LineEvent::None, 0},
        {"07.12.2026 00:15:42 STARTED", LineKind::Unreadable, LineEvent::None, 0},
        {"Unknown=1", LineKind::Unreadable, LineEvent::None, 0},
        {"ROUTE 10.0.0.1 GW", LineKind::Unreadable, LineEvent::None, 0},
        {std::string("\x00\x01\xff\xfe[", 5), LineKind::Unreadable, LineEvent::None, 0},
    };
    for (const Row& r : rows) {
        const LogLine l = classifyLine(r.line);
        EXPECT_EQ(l.kind, r.kind) << r.line;
        EXPECT_EQ(l.event, r.event) << r.line;
        if (r.kind == LineKind::Timed || r.kind == LineKind::Start) {
            EXPECT_EQ(l.timeMs, r.timeMs) << r.line;
        }
    }
    // A line cut short by the reader can be dated but is no event.
    EXPECT_EQ(classifyLine("[12:00:00.000] " + kLaunched, false).event, LineEvent::None);
    EXPECT_EQ(classifyLine("[12:00:00.000] " + kLaunched, false).kind, LineKind::Timed);
}

// The figures of one run, from short hand-made logs.
TEST(LogScannerTest, FiguresOfARun)
{
    struct Row {
        const char* what;
        std::string log;
        Figures expected;  // totals; watched and unwatched time in ms too
    };
    const std::string start = startBlock("07.12.2026 10:00:00");
    auto f = [](std::int64_t starts, std::int64_t stalls, std::int64_t kills, std::int64_t launches,
                std::int64_t failures, std::int64_t missing, std::int64_t crashes, std::int64_t downMs,
                std::int64_t watchedMs) {
        Figures x;
        x.starts = starts;
        x.stalls = stalls;
        x.kills = kills;
        x.launches = launches;
        x.launchFailures = failures;
        x.missingExe = missing;
        x.crashes = crashes;
        x.downtimeMs = downMs;
        x.watchedMs = watchedMs;
        return x;
    };
    const Row rows[] = {
        {"a start block alone", start, f(1, 0, 0, 0, 0, 0, 0, 0, 0)},
        {"first launch: no outage before it",
         start + timed("10:00:30.000", kAttempt) + timed("10:00:33.000", kLaunched), f(1, 0, 0, 1, 0, 0, 0, 0, 33'000)},
        {"stall, kill, relaunch",
         start + timed("10:00:30.000", kAttempt) + timed("10:00:33.000", kLaunched) + timed("10:05:00.000", kStall) +
             timed("10:05:00.000", kKill) + timed("10:05:01.000", kAttempt) + timed("10:05:04.000", kLaunched),
         f(1, 1, 1, 2, 0, 0, 0, 4'000, 304'000)},
        {"a crash: gone without a kill",
         start + timed("10:00:30.000", kAttempt) + timed("10:00:33.000", kLaunched) + timed("10:20:00.000", kAttempt) +
             timed("10:20:10.000", kLaunched),
         f(1, 0, 0, 2, 0, 0, 1, 10'000, 1'210'000)},
        {"a crash counted once over failed attempts",
         start + timed("10:00:30.000", kAttempt) + timed("10:00:33.000", kLaunched) + timed("10:20:00.000", kAttempt) +
             timed("10:20:30.000", kAttempt) + timed("10:21:00.000", kAttempt) + timed("10:21:03.000", kLaunched),
         f(1, 0, 0, 2, 2, 0, 1, 63'000, 1'263'000)},
        {"missing executable: each attempt fails",
         start + timed("10:00:30.000", kAttempt) + timed("10:00:30.001", kMissing) + timed("10:01:00.000", kAttempt) +
             timed("10:01:00.001", kMissing) + timed("10:02:00.000", kClosing),
         f(1, 0, 0, 0, 2, 2, 0, 0, 120'000)},
        {"a kill with no relaunch is down to the run's last line",
         start + timed("10:00:30.000", kAttempt) + timed("10:00:33.000", kLaunched) + timed("10:10:00.000", kKill) +
             timed("10:10:30.000", kClosing),
         f(1, 0, 1, 1, 0, 0, 0, 30'000, 630'000)},
        {"stall without a router to end",
         start + timed("10:05:00.000", kStall) + timed("10:05:00.000", "Trovan neni spusten - nemam co ukoncit"),
         f(1, 1, 0, 0, 0, 0, 0, 0, 300'000)},
        {"two runs in one file, unwatched between",
         start + timed("10:00:30.000", kAttempt) + timed("10:00:33.000", kLaunched) + timed("11:00:00.000", kClosing) +
             startBlock("07.12.2026 12:00:00") + timed("12:00:01.000", "Nastavena priorita: Normální"),
         [&] {
             Figures x = f(2, 0, 0, 1, 0, 0, 0, 0, 3'601'000);
             x.unwatchedMs = 3'600'000;
             return x;
         }()},
    };
    for (const Row& r : rows) {
        const MachineReport m = machine({{"ovin202612.log", r.log}});
        EXPECT_EQ(m.totals, r.expected) << r.what;
        EXPECT_EQ(m.unreadable, 0) << r.what;
        EXPECT_TRUE(m.undated.empty()) << r.what;
    }
}

TEST(LogScannerTest, MidnightMovesTheDayAndSplitsDowntime)
{
    const std::string log =
        startBlock("07.12.2026 23:59:00") + timed("23:59:10.000", kAttempt) + timed("23:59:12.000", kLaunched) +
        timed("23:59:50.000", kStall) + timed("23:59:50.000", kKill) + timed("00:00:20.000", kAttempt) +
        timed("00:00:30.000", kLaunched) + timed("23:00:00.000", kStall) + timed("01:00:00.000", kClosing);
    const MachineReport m = machine({{"ovin202612.log", log}});
    ASSERT_EQ(m.days.size(), 3u);
    EXPECT_EQ(dateText(m.days[0].day), "2026-12-07");
    EXPECT_EQ(m.days[0].figures.stalls, 1);
    EXPECT_EQ(m.days[0].figures.kills, 1);
    EXPECT_EQ(m.days[0].figures.downtimeMs, 10'000);
    EXPECT_EQ(m.days[0].figures.watchedMs, 60'000);
    EXPECT_EQ(m.days[1].figures.launches, 1);
    EXPECT_EQ(m.days[1].figures.downtimeMs, 30'000);
    EXPECT_EQ(m.days[1].figures.stalls, 1);
    EXPECT_EQ(m.days[1].figures.watchedMs, 86'400'000);
    EXPECT_EQ(dateText(m.days[2].day), "2026-12-09");
    EXPECT_EQ(m.days[2].figures.watchedMs, 3'600'000);
    EXPECT_EQ(m.longestOutageMs, 40'000);
    EXPECT_EQ(dateTimeText(m.longestOutageFromMs), "2026-12-07 23:59:50");
    EXPECT_TRUE(m.undated.empty());
}

// A run over the turn of a month is in both month files, and the newer file
// also repeats the older file's earlier runs: each counts once.
TEST(LogScannerTest, MonthBoundaryCountsEveryEventOnce)
{
    const std::string earlier = startBlock("20.11.2026 08:00:00") + timed("08:00:30.000", kAttempt) +
                                timed("08:00:33.000", kLaunched) + timed("09:00:00.000", kClosing);
    const std::string spanningStart = startBlock("30.11.2026 22:00:00") + timed("22:00:30.000", kAttempt) +
                                      timed("22:00:33.000", kLaunched) + timed("23:30:00.000", kStall) +
                                      timed("23:30:00.000", kKill) + timed("23:30:02.000", kAttempt) +
                                      timed("23:30:05.000", kLaunched);
    const std::string november = earlier + spanningStart;
    const std::string december = november + timed("00:30:00.000", kStall) + timed("00:30:00.000", kKill) +
                                 timed("00:30:02.000", kAttempt) + timed("00:30:04.000", kLaunched) +
                                 timed("02:00:00.000", kClosing);
    for (const bool newerFirst : {false, true}) {
        const MachineReport m = newerFirst ? machine({{"ovin202612.log", december}, {"ovin202611.log", november}})
                                           : machine({{"ovin202611.log", november}, {"ovin202612.log", december}});
        EXPECT_EQ(m.totals.starts, 2);
        EXPECT_EQ(m.totals.stalls, 2);
        EXPECT_EQ(m.totals.kills, 2);
        EXPECT_EQ(m.totals.launches, 4);
        EXPECT_EQ(m.totals.downtimeMs, 5'000 + 4'000);
        EXPECT_EQ(m.totals.unwatchedMs, (30 * 24 - 9 + 22) * 3'600'000LL - 24LL * 3'600'000 * 20);
        EXPECT_EQ(dateText(m.days.back().day), "2026-12-01");
        EXPECT_EQ(m.days.back().figures.stalls, 1);
        EXPECT_TRUE(m.undated.empty());
    }
}

TEST(LogScannerTest, PeriodLimitsTheDays)
{
    const std::string log = startBlock("07.12.2026 23:00:00") + timed("23:30:00.000", kStall) +
                            timed("00:30:00.000", kStall) + timed("00:40:00.000", kStall) + timed("23:59:00.000", "x") +
                            timed("00:10:00.000", kStall);
    Period period;
    period.from = dayFromDate(2026, 12, 8);
    period.to = dayFromDate(2026, 12, 8);
    const MachineReport m = machine({{"ovin202612.log", log}}, period);
    ASSERT_EQ(m.days.size(), 1u);
    EXPECT_EQ(m.totals.stalls, 2);
    EXPECT_EQ(m.totals.starts, 0);
    EXPECT_EQ(m.totals.watchedMs, 86'400'000);
}

// Where time alone cannot date the lines, the report says so.
TEST(LogScannerTest, StretchesThatCannotBeDatedAreFlagged)
{
    struct Row {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files;
        Undated::Reason reason;
    };
    const Row rows[] = {
        {"lines before any START",
         {{"ovin202612.log", timed("10:00:00.000", kStall) + startBlock("07.12.2026 10:00:00")}},
         Undated::Reason::NoStart},
        // Started in November, the last line saved into December's file, but
        // dated by time alone it is still November: a day passed unseen.
        {"the last line outside the file's month",
         {{"ovin202612.log", startBlock("30.11.2026 10:00:00") + timed("11:00:00.000", kStall)}},
         Undated::Reason::Month},
        {"a run reaching past the next START",
         {{"ovin202612.log",
           startBlock("07.12.2026 10:00:00") + timed("09:00:00.000", kStall) + startBlock("08.12.2026 08:00:00")}},
         Undated::Reason::Overlap},
    };
    for (const Row& r : rows) {
        const MachineReport m = machine(r.files);
        ASSERT_EQ(m.undated.size(), 1u) << r.what;
        EXPECT_EQ(m.undated[0].reason, r.reason) << r.what;
    }
}

// Damage of every kind: the readable lines still count, the rest is counted
// as skipped, and no line break style changes a figure.
TEST(LogScannerTest, DamagedFilesAreReadAroundTheirDamage)
{
    const std::string good = startBlock("07.12.2026 10:00:00") + timed("10:00:30.000", kAttempt) +
                             timed("10:00:33.000", kLaunched) + timed("10:05:00.000", kStall) +
                             timed("10:05:00.000", kKill) + timed("10:05:01.000", kAttempt) +
                             timed("10:05:04.000", kLaunched);
    auto replaceAll = [](std::string s, const std::string& from, const std::string& to) {
        for (std::size_t at = 0; (at = s.find(from, at)) != std::string::npos; at += to.size())
            s.replace(at, from.size(), to);
        return s;
    };
    struct Row {
        const char* what;
        std::string log;
        std::int64_t unreadable;
    };
    const Row rows[] = {
        {"CR LF", good, 0},
        {"LF only", replaceAll(good, "\r\n", "\n"), 0},
        {"CR only", replaceAll(good, "\r\n", "\r"), 0},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF" + good, 0},
        {"byte-order mark read through code page 1250", "\xC4\x8F\xC2\xBB\xC5\xBC" + good, 0},
        {"binary garbage", good + std::string("\x00\x7f\xff\x80garbage\x01\r\n", 14) + "\x1b[0m\r\n", 2},
        {"a request file's copy", good + "ROUTE 1\r\nROUTE 2\r\n", 2},
        {"code page 1250 letters",
         good + timed("10:06:00.000", "\xC8"
                                      "ek\xE1m na spu\x9At\xEDn\xED Trovan 1 s"),
         0},
        {"truncated last line", good + "[10:06:0", 1},
        {"a last line without its break still counts", good + timed("10:07:00.000", kStall).substr(0, 46), 0},
    };
    for (const Row& r : rows) {
        const MachineReport m = machine({{"ovin202612.log", r.log}});
        EXPECT_EQ(m.unreadable, r.unreadable) << r.what;
        EXPECT_EQ(m.totals.starts, 1) << r.what;
        EXPECT_EQ(m.totals.kills, 1) << r.what;
        EXPECT_EQ(m.totals.launches, 2) << r.what;
        EXPECT_EQ(m.totals.downtimeMs, 4'000) << r.what;
        EXPECT_EQ(m.totals.stalls, std::string(r.what).starts_with("a last line") ? 2 : 1) << r.what;
    }
}

// The file arrives in pieces of any size: a line or a CR LF cut between two
// pieces reads as if whole.
TEST(LogScannerTest, PiecesOfAnySizeGiveTheSameFigures)
{
    std::string log = startBlock("07.12.2026 23:59:00") + timed("23:59:10.000", kAttempt) + "\r" +
                      timed("23:59:12.000", kLaunched) + "\n" + timed("00:00:00.000", kStall) + "junk\n\r" +
                      timed("00:00:00.100", kKill) + timed("00:00:02.000", kAttempt) + timed("00:00:04.000", kLaunched);
    const FileScan whole = scan("ovin202612.log", log);
    for (std::size_t piece = 1; piece <= 40; ++piece) {
        const FileScan parts = scan("ovin202612.log", log, piece);
        EXPECT_EQ(parts.lines, whole.lines) << piece;
        EXPECT_EQ(parts.unreadable, whole.unreadable) << piece;
        ASSERT_EQ(parts.runs.size(), 1u) << piece;
        EXPECT_EQ(parts.runs[0].days, whole.runs[0].days) << piece;
        EXPECT_EQ(parts.runs[0].endMs, whole.runs[0].endMs) << piece;
    }
    EXPECT_EQ(whole.unreadable, 1);
}

// A line of any length costs no more memory than its first bytes, and is no
// event however it starts.
TEST(LogScannerTest, AnOverlongLineIsJudgedByItsStart)
{
    LogScanner scanner("ovin202612.log");
    scanner.feed(startBlock("07.12.2026 10:00:00"));
    scanner.feed("[10:00:01.000] " + kLaunched);
    const std::string filler(1 << 16, 'x');
    for (int i = 0; i < 64; ++i)
        scanner.feed(filler);
    scanner.feed("\r\n");
    scanner.feed(std::string(3 << 16, '\x01'));
    scanner.feed("\r\n" + timed("10:00:02.000", kStall));
    const FileScan s = scanner.finish();
    ASSERT_EQ(s.runs.size(), 1u);
    EXPECT_EQ(s.unreadable, 1);
    EXPECT_EQ(s.runs[0].days.begin()->second.launches, 0);
    EXPECT_EQ(s.runs[0].days.begin()->second.stalls, 1);
}

}  // namespace
}  // namespace ovin::report
