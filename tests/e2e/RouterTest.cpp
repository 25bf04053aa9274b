#include <gtest/gtest.h>

#include <signal.h>

#include <regex>

#include "support/E2eSupport.h"

namespace ovin::e2e {
namespace {

std::size_t indexOf(const std::vector<std::string>& lines, const std::string& line, std::size_t from = 0)
{
    const auto it = std::find(lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end(), line);
    return static_cast<std::size_t>(it - lines.begin());
}

class Router : public ::testing::Test {
protected:
    Router()
    {
        installRouter(dir.path());
        folder = fs::canonical(dir.path()).string() + "/";
        request = folder + "request.cfg";
    }
    ~Router() override { killProcessesIn(dir.path()); }

    void settings(const std::string& extra)
    {
        writeFile(dir / "ovin.ini", "[conf]\r\nZobrazitIkonu=0\r\nHlidatZdaTrovanJede=1\r\nInterval=1000\r\n"
                                    "CekaniNaTrovan=1\r\n" +
                                        extra);
    }
    std::vector<std::string> log() const { return messages(readFile(dir / monthFileName())); }
    bool logged(const std::vector<std::string>& sequence, std::chrono::milliseconds timeout = 20s) const
    {
        return waitFor([&] { return contains(log(), sequence); }, timeout);
    }
    int starts() const
    {
        const std::string text = readFile(dir / "trovan.log");
        return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    }

    TempFolder dir;
    fs::path exe = installOvin(dir.path());
    std::string folder;
    std::string request;
};

TEST_F(Router, AMissingRouterIsStartedDetachedAndWaitedFor)
{
    settings("");
    writeFile(dir / "trovan.mode", "normal");
    Process ovin(exe, {}, dir.path());
    ASSERT_TRUE(
        logged({"Trovan neni spusten - pokusim se ho spustit", "Čekám na spuštění Trovan 1 s", "Trovan spusten"}));
    const auto routers = processesIn(dir.path());
    ASSERT_EQ(routers.size(), 2u) << "the watchdog and one router";
    for (const pid_t pid : routers) {
        if (pid != ovin.pid()) {
            EXPECT_NE(parentOf(pid), ovin.pid()) << "the router is not the watchdog's child";
        }
    }
    EXPECT_EQ(starts(), 1);
}

TEST_F(Router, AStalledRouterIsKilledAndRestartedAndTheFreshOneSurvivesItsFirstTick)
{
    settings("MazatRequest=1\r\nMaxStejnyRequest=3\r\n");
    writeFile(dir / "trovan.mode", "stall");
    Process ovin(exe, {}, dir.path());
    ASSERT_TRUE(
        logged({request + " je stale stejny: 1", request + " je stale stejny: 2", request + " je stale stejny: 3",
                "Prekrocen limit stari souboru 3", "Mazu soubor " + request, "Ukoncuji Trovan",
                "Trovan neni spusten - pokusim se ho spustit", "Čekám na spuštění Trovan 1 s", "Trovan spusten"},
               30s));
    // The fresh router's request file starts a count of its own.
    ASSERT_TRUE(waitFor([&] { return starts() >= 2; }, 5s));
    const auto l = log();
    const std::size_t restarted = indexOf(l, "Trovan spusten", indexOf(l, "Ukoncuji Trovan"));
    ASSERT_TRUE(logged({"Trovan spusten"}) && restarted < l.size());
    ASSERT_TRUE(waitFor([&] { return log().size() > restarted + 2; }, 10s));
    const auto after = log();
    EXPECT_TRUE(
        std::regex_match(after[restarted + 1], std::regex(std::regex_replace(request, std::regex(R"([.])"), R"(\.)") +
                                                          R"( \d{1,2}\.\d{1,2}\.\d{4} \d\d:\d\d:\d\d  \d+B)")))
        << after[restarted + 1];
    EXPECT_NE(after[restarted + 2], "Ukoncuji Trovan");
    EXPECT_NE(after[restarted + 2], "Prekrocen limit stari souboru 3");

    // No zombie is left among the watchdog's children, and one router runs.
    EXPECT_TRUE(waitFor([&] { return processesIn(dir.path()).size() == 2u; }, 5s));
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") == std::string::npos && parentOf(std::stoi(name)) == ovin.pid()) {
            EXPECT_NE(processState(std::stoi(name)), 'Z') << "zombie child " << name;
        }
    }
}

TEST_F(Router, ALeftoverRequestFileIsCopiedIntoTheLogBeforeTheStart)
{
    settings("MaxRadkuRequest=1\r\n");
    writeFile(dir / "trovan.mode", "normal");
    writeFile(dir / "request.cfg", "leftover one\r\nleftover two\r\n");
    Process ovin(exe, {}, dir.path());
    ASSERT_TRUE(logged({"Trovan neni spusten - pokusim se ho spustit", "Pred spustenim nalezen " + request,
                        "Radku v request.cfg (2)   >=   MaxRadkuRequest(1)", "leftover one", "leftover two"}));
    const auto l = log();
    const std::size_t age = indexOf(l, "leftover two") + 1;
    ASSERT_LT(age + 1, l.size());
    EXPECT_TRUE(std::regex_match(l[age], std::regex(R"(Stari request\.cfg \(\d+s\)  <  MaxStariRequest \(600s\))")))
        << l[age];
    EXPECT_EQ(l[age + 1], "Nechavam soubor request.cfg na disku");
}

TEST_F(Router, ARouterThatOutlivesAKilledWatchdogDoesNotKeepTheNextStartOut)
{
    settings("");
    writeFile(dir / "trovan.mode", "normal");
    {
        Process ovin(exe, {}, dir.path());
        ASSERT_TRUE(logged({"Trovan spusten"}));
        ovin.signal(SIGKILL);
        ASSERT_TRUE(ovin.waitExit(5s).has_value());
    }
    ASSERT_EQ(processesIn(dir.path()).size(), 1u) << "the router runs on";
    Process next(exe, {}, dir.path());
    EXPECT_TRUE(waitFor([&] { return countOf(readFile(dir / monthFileName()), " START\r\n") == 2; }, 10s));
    EXPECT_FALSE(next.waitExit(1s).has_value()) << "admitted";
}

TEST_F(Router, AMissingRouterExecutableIsReportedOnEveryTick)
{
    settings("");
    fs::remove(dir / "trovan.exe");
    Process ovin(exe, {}, dir.path());
    const std::vector<std::string> tick{"Trovan neni spusten - pokusim se ho spustit",
                                        "Nelze spustit Trovan - soubor nenalezen " + folder + "trovan.exe"};
    ASSERT_TRUE(logged(tick));
    EXPECT_TRUE(waitFor(
        [&] {
            const auto l = log();
            return std::count(l.begin(), l.end(), tick[1]) >= 2;
        },
        10s));
}

}  // namespace
}  // namespace ovin::e2e
