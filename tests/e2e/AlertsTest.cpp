#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <regex>

#include "support/E2eSupport.h"

namespace ovin::e2e {
namespace {

// The web hook of the tests: a small server on loopback that writes down every body it gets.
class HookServer {
public:
    HookServer(const fs::path& folder, const std::string& mode)
        : m_portFile(folder / ("hook-" + mode + ".port")),
          m_record(folder / ("hook-" + mode + ".txt")),
          m_server("/usr/bin/env", {"python3", HOOK_SERVER_PY, m_portFile.string(), m_record.string(), mode}, folder)
    {
        if (!waitFor([&] { return fs::exists(m_portFile); }, 10s))
            throw std::runtime_error("the hook server did not start");
        m_url = "http://127.0.0.1:" + readFile(m_portFile) + "/hook/secret";
    }
    const std::string& url() const { return m_url; }
    std::vector<std::string> bodies() const
    {
        return fs::exists(m_record) ? splitLf(readFile(m_record)) : std::vector<std::string>{};
    }
    std::vector<std::string> events() const
    {
        std::vector<std::string> names;
        for (const std::string& b : bodies()) {
            std::smatch m;
            if (std::regex_search(b, m, std::regex(R"re("event":"([a-z_]+)")re")))
                names.push_back(m[1]);
        }
        return names;
    }
    std::string bodyOf(const std::string& event) const
    {
        for (const std::string& b : bodies()) {
            if (b.find("\"event\":\"" + event + "\"") != std::string::npos)
                return b;
        }
        return {};
    }

private:
    static std::vector<std::string> splitLf(const std::string& text)
    {
        std::vector<std::string> out;
        std::size_t at = 0;
        while (at < text.size()) {
            const auto end = text.find('\n', at);
            out.push_back(text.substr(at, end - at));
            at = end == std::string::npos ? text.size() : end + 1;
        }
        return out;
    }

    fs::path m_portFile;
    fs::path m_record;
    Process m_server;
    std::string m_url;
};

class Alerting : public ::testing::Test {
protected:
    Alerting()
    {
        installRouter(dir.path());
        folder = fs::canonical(dir.path()).string() + "/";
    }
    ~Alerting() override { killProcessesIn(dir.path()); }

    void settings(const std::string& conf, const std::string& dohled)
    {
        writeFile(dir / "ovin.ini", "[conf]\r\nZobrazitIkonu=0\r\nHlidatZdaTrovanJede=1\r\nInterval=1000\r\n"
                                    "CekaniNaTrovan=1\r\n" +
                                        conf + "[dohled]\r\nUpozorneniMinut=0\r\n" + dohled);
    }
    std::vector<std::string> log() const { return messages(readFile(dir / monthFileName())); }
    int starts() const
    {
        const std::string text = fs::exists(dir / "trovan.log") ? readFile(dir / "trovan.log") : "";
        return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    }
    // The gaps between the ticks, from the time stamps of a line each tick logs.
    std::vector<int> tickGapsMs(const std::string& line) const
    {
        std::vector<int> gaps;
        int last = -1;
        for (const std::string& l : lines(readFile(dir / monthFileName()))) {
            if (l.size() < 15 || l.substr(15) != line)
                continue;
            const int ms = std::stoi(l.substr(1, 2)) * 3'600'000 + std::stoi(l.substr(4, 2)) * 60'000 +
                           std::stoi(l.substr(7, 2)) * 1000 + std::stoi(l.substr(10, 3));
            if (last >= 0)
                gaps.push_back(ms - last);
            last = ms;
        }
        return gaps;
    }

    TempFolder dir;
    fs::path exe = installOvin(dir.path());
    std::string folder;
};

TEST_F(Alerting, AStallACrashAndTheRecoveriesArriveOnceEachByHookAndCommand)
{
    HookServer hook(dir.path(), "ok");
    writeFile(dir / "upozorni.sh",
              "#!/bin/sh\nenv | grep '^OVIN_' | sort > \"alert-$OVIN_EVENT-$$.env\"\n"
              "[ -n \"$OVIN_LOG_TAIL\" ] && cat \"$OVIN_LOG_TAIL\" > \"alert-$OVIN_EVENT-$$.tail\"\n"
              "exit 0\n");
    fs::permissions(dir / "upozorni.sh", fs::perms::owner_all);
    settings("MazatRequest=1\r\nMaxStejnyRequest=3\r\n", "Prikaz=upozorni.sh\r\nWebhook=" + hook.url() + "\r\n");
    writeFile(dir / "trovan.mode", "stall");
    Process ovin(exe, {}, dir.path());
    // The first router stalls; the one started after it dies after two seconds; the one after that works.
    ASSERT_TRUE(waitFor([&] { return starts() >= 1; }, 10s));
    writeFile(dir / "trovan.mode", "crash life=2000");
    ASSERT_TRUE(waitFor([&] { return starts() >= 2; }, 20s));
    writeFile(dir / "trovan.mode", "normal");
    const std::vector<std::string> expected{"watchdog_start", "stall", "recovered", "crash", "recovered"};
    ASSERT_TRUE(waitFor([&] { return hook.events().size() >= expected.size(); }, 20s));
    ovin.signal(SIGTERM);
    ASSERT_TRUE(ovin.waitExit(10s).has_value());
    auto all = expected;
    all.push_back("watchdog_end");
    EXPECT_EQ(hook.events(), all);

    const std::string stall = hook.bodyOf("stall");
    for (const std::string& field :
         std::vector<std::string>{R"("line":"Prekrocen limit stari souboru 3")", R"("stall_count":3)",
                                  R"("stall_limit":3)", R"("stalls_today":1)", R"("folder":")" + folder + "\"",
                                  R"("log_tail":[)", R"(Ukoncuji Trovan")", R"("text":"Ovin na )"})
        EXPECT_NE(stall.find(field), std::string::npos) << field << " in " << stall;
    EXPECT_TRUE(std::regex_search(stall, std::regex(R"("time":"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d")")))
        << stall;
    EXPECT_NE(hook.bodyOf("crash").find(R"("crashes_today":1)"), std::string::npos) << hook.bodyOf("crash");
    EXPECT_TRUE(std::regex_search(hook.bodyOf("recovered"), std::regex(R"("downtime_s":\d+)")));
    EXPECT_EQ(hook.bodyOf("crash").find("downtime_s"), std::string::npos);

    // The command got the same, one start per alert, and the stall's log lines in a file that is gone again.
    std::map<std::string, std::string> env;
    int commandRuns = 0;
    ASSERT_TRUE(waitFor(
        [&] {
            commandRuns = 0;
            for (const auto& e : fs::directory_iterator(dir.path()))
                commandRuns += e.path().extension() == ".env" ? 1 : 0;
            return commandRuns == 6;
        },
        10s))
        << commandRuns;
    for (const auto& e : fs::directory_iterator(dir.path())) {
        const std::string name = e.path().filename().string();
        if (name.starts_with("alert-stall-") && e.path().extension() == ".env")
            env["stall"] = readFile(e.path());
        if (name.starts_with("alert-stall-") && e.path().extension() == ".tail")
            env["tail"] = readFile(e.path());
    }
    for (const std::string& v :
         std::vector<std::string>{"OVIN_EVENT=stall\n", "OVIN_LINE=Prekrocen limit stari souboru 3\n",
                                  "OVIN_STALLS_TODAY=1\n", "OVIN_FOLDER=" + folder + "\n", "OVIN_LOG_TAIL=/"})
        EXPECT_NE(env["stall"].find(v), std::string::npos) << v << " in " << env["stall"];
    EXPECT_NE(env["tail"].find("Ukoncuji Trovan\r\n"), std::string::npos) << env["tail"];
    std::smatch m;
    const std::string stallEnv = env["stall"];
    ASSERT_TRUE(std::regex_search(stallEnv, m, std::regex("OVIN_LOG_TAIL=([^\n]+)")));
    EXPECT_TRUE(waitFor([&] { return !fs::exists(m[1].str()); }, 5s)) << "the tail's file is removed";
}

// A hook that fails leaves the ticks as they were and adds one line to the log for many failures.
struct FailingHook {
    const char* what;
    const char* mode;  // of the hook server; nullptr: a port nobody listens on
    const char* line;  // how the log's line begins, or nullptr: no line within the test's time
};

class FailingHooks : public Alerting, public ::testing::WithParamInterface<FailingHook> {};

TEST_P(FailingHooks, LeaveTheTicksAloneAndAreLoggedOnce)
{
    const FailingHook& c = GetParam();
    std::unique_ptr<HookServer> hook;
    std::string url = "http://127.0.0.1:9/hook";
    if (c.mode) {
        hook = std::make_unique<HookServer>(dir.path(), c.mode);
        url = hook->url();
    }
    // No router executable: every tick logs the attempt and raises an alert that fails.
    fs::remove(dir / "trovan.exe");
    settings("", "Webhook=" + url + "\r\n");
    const std::string attempt = "Trovan neni spusten - pokusim se ho spustit";
    Process ovin(exe, {}, dir.path());
    ASSERT_TRUE(waitFor([&] { return tickGapsMs(attempt).size() >= 5; }, 20s));
    for (const int gap : tickGapsMs(attempt)) {
        // A tick is one second after the end of the last, plus its 100 ms pause.
        EXPECT_GE(gap, 1000);
        EXPECT_LT(gap, 1400);
    }
    const auto failures = [&] {
        const auto l = log();
        return std::count_if(l.begin(), l.end(), [](const std::string& s) { return s.starts_with("Upozorneni"); });
    };
    if (c.line) {
        ASSERT_TRUE(waitFor([&] { return failures() >= 1; }, 10s));
        const auto l = log();
        EXPECT_NE(std::find_if(l.begin(), l.end(), [&](const std::string& s) { return s.starts_with(c.line); }),
                  l.end())
            << c.line;
    }
    EXPECT_LE(failures(), 1);
    // Even a hook that never answers keeps the end short, and the last alert is tried.
    ovin.signal(SIGTERM);
    const auto began = std::chrono::steady_clock::now();
    ASSERT_TRUE(ovin.waitExit(10s).has_value());
    EXPECT_LT(std::chrono::steady_clock::now() - began, 6s);
    if (hook && std::string(c.mode) == "hang") {
        EXPECT_TRUE(waitFor([&] { return hook->events().size() >= 2 && hook->events().back() == "watchdog_end"; }, 2s))
            << hook->bodies().size();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Alerting, FailingHooks,
    ::testing::Values(FailingHook{"a closed port", nullptr,
                                  "Upozorneni webhookem selhalo - spojeni odmitnuto (http://127.0.0.1:9)"},
                      FailingHook{"an error answer", "500",
                                  "Upozorneni webhookem selhalo - server vratil HTTP 500 (http://127.0.0.1:"},
                      // Its line comes after three tries of ten seconds each: the unit tests show it.
                      FailingHook{"a server that never answers", "hang", nullptr}));

TEST_F(Alerting, ABadAddressAndAMissingCommandAreSaidAtStartAndLeaveAlertsOff)
{
    settings("", "Prikaz=chybi.sh\r\nWebhook=hooks.example.net/T0000\r\n");
    writeFile(dir / "trovan.mode", "normal");
    Process ovin(exe, {}, dir.path());
    ASSERT_TRUE(waitFor(
        [&] {
            const auto l = log();
            return std::find(l.begin(), l.end(),
                             "Upozorneni prikazem vypnuto - soubor nenalezen " + folder + "chybi.sh") != l.end() &&
                   std::find(l.begin(), l.end(),
                             "Upozorneni webhookem vypnuto - adresa nezacina http:// ani https:// s nazvem serveru: "
                             "hooks.example.net/T0000") != l.end();
        },
        10s));
}

}  // namespace
}  // namespace ovin::e2e
