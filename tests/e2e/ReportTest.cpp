// ovin-report on the log of a real watchdog that went through crashes and
// stalls of the stand-in router: the report's counts against what the router
// itself recorded of its starts.

#include <gtest/gtest.h>

#include <signal.h>

#include <cstdio>
#include <regex>
#include <thread>

#include "support/E2eSupport.h"

namespace ovin::e2e {
namespace {

// The router's own record: one "start MODE" line per start.
std::vector<std::string> routerStarts(const fs::path& folder)
{
    std::vector<std::string> modes;
    const std::string text = readFile(folder / "trovan.log");
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        if (text.compare(at, 6, "start ") == 0)
            modes.push_back(text.substr(at + 6, end - at - 6));
    return modes;
}

std::string runReport(const std::vector<std::string>& args, int& exitCode)
{
    std::string command = OVIN_REPORT_EXE;
    for (const std::string& a : args)
        command += " '" + a + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    char buf[4096];
    for (std::size_t n; pipe && (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;)
        out.append(buf, n);
    const int status = pipe ? ::pclose(pipe) : -1;
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

long long field(const std::string& json, const std::string& name)
{
    std::smatch m;
    const std::regex re("\"" + name + "\": (-?[0-9]+)");
    if (!std::regex_search(json, m, re))
        return -1;
    return std::stoll(m[1]);
}

TEST(ReportEndToEnd, CountsWhatTheWatchdogWentThrough)
{
    TempFolder dir;
    const fs::path exe = installOvin(dir.path());
    installRouter(dir.path());
    writeFile(dir / "ovin.ini", "[conf]\r\nZobrazitIkonu=0\r\nHlidatZdaTrovanJede=1\r\nInterval=1000\r\n"
                                "CekaniNaTrovan=1\r\nMazatRequest=1\r\nMaxStejnyRequest=1\r\n");
    auto count = [&](const std::string& message) {
        return countOf(readFile(dir / monthFileName()), "] " + message + "\r\n");
    };

    // Two crashes: each router ends by itself after a while and is started
    // again; then two stalls, each ended and started again.
    writeFile(dir / "trovan.mode", "crash life=1400");
    {
        Process ovin(exe, {}, dir.path());
        ASSERT_TRUE(waitFor([&] { return routerStarts(dir.path()).size() >= 3; }, 30s));
        writeFile(dir / "trovan.mode", "stall");
        ASSERT_TRUE(waitFor([&] { return count("Ukoncuji Trovan") >= 2 && count("Trovan spusten") >= 6; }, 40s));
        ovin.signal(SIGTERM);
        ASSERT_TRUE(ovin.waitExit(10s).has_value());
    }
    killProcessesIn(dir.path());
    // A second run after a pause that nobody watched.
    std::this_thread::sleep_for(1500ms);
    writeFile(dir / "trovan.mode", "normal");
    {
        Process ovin(exe, {}, dir.path());
        ASSERT_TRUE(waitFor([&] { return count("Trovan spusten") >= 7; }, 20s));
        ovin.signal(SIGTERM);
        ASSERT_TRUE(ovin.waitExit(10s).has_value());
    }
    killProcessesIn(dir.path());

    // What happened, from the router's side: a crash router that was
    // followed by another start crashed; a stalled one that was followed by
    // another start was ended.
    const std::vector<std::string> starts = routerStarts(dir.path());
    int crashed = 0, ended = 0;
    for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
        if (starts[i].rfind("crash", 0) == 0)
            ++crashed;
        else if (starts[i] == "stall" && i + 2 < starts.size())
            ++ended;  // the last stalled router was left running at the end of the run
    }

    int code = -1;
    const std::string json = runReport({"--json", dir.path().string()}, code);
    ASSERT_EQ(code, 0) << json;
    const std::string totals = json.substr(json.find("\"totals\""));
    EXPECT_EQ(field(totals, "starts"), 2);
    EXPECT_EQ(field(totals, "crashes"), crashed);
    EXPECT_GE(crashed, 2);
    EXPECT_EQ(field(totals, "kills"), ended);
    EXPECT_EQ(field(totals, "stalls"), ended);
    EXPECT_EQ(field(totals, "launches"), static_cast<long long>(starts.size()));
    EXPECT_EQ(field(totals, "launch_failures"), 0);
    EXPECT_EQ(field(totals, "missing_exe"), 0);
    // Each outage lasts from the kill or the crash to the next start: at
    // least the wait for the router, and much less than the whole run.
    const long long downtime = field(totals, "downtime_s");
    EXPECT_GE(downtime, crashed + ended) << json;
    EXPECT_LT(downtime, 60) << json;
    const long long unwatched = field(totals, "unwatched_s");
    EXPECT_GE(unwatched, 1) << json;
    EXPECT_LT(unwatched, 20) << json;
    // The only lines it cannot read are the copies of leftover request files
    // that the watchdog put into the log before a start.
    const std::string log = readFile(dir / monthFileName());
    long long copied = 0;
    const std::regex copy(R"(Radku v request\.cfg \(([0-9]+)\))");
    for (auto it = std::sregex_iterator(log.begin(), log.end(), copy); it != std::sregex_iterator(); ++it)
        copied += std::stoll((*it)[1]);
    EXPECT_EQ(field(totals, "unreadable_lines"), copied);
    EXPECT_NE(json.find("\"undated\": []"), std::string::npos) << json;

    // The table says the same to people.
    const std::string table = runReport({dir.path().string()}, code);
    EXPECT_EQ(code, 0);
    EXPECT_NE(table.find("Celkem"), std::string::npos) << table;
    EXPECT_NE(table.find("Nejdelší výpadek"), std::string::npos) << table;
}

}  // namespace
}  // namespace ovin::e2e
