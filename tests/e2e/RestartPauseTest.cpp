#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "support/E2eSupport.h"

namespace ovin::e2e {
namespace {

constexpr const char* kTrying = "Trovan neni spusten - pokusim se ho spustit";
constexpr const char* kHealthy = "Trovan bezi - utlum ukoncen";

bool isYellow(const XServer::Pixel& p) { return p.r > 200 && p.g > 160 && p.b < 80; }

// A logged line's time of day in milliseconds, from its "[hh:nn:ss.zzz] " stamp.
std::optional<int> stampMs(const std::string& line)
{
    static const std::regex stamp(R"(^\[(\d\d):(\d\d):(\d\d)\.(\d\d\d)\] )");
    std::smatch m;
    if (!std::regex_search(line, m, stamp))
        return std::nullopt;
    return ((std::stoi(m[1]) * 60 + std::stoi(m[2])) * 60 + std::stoi(m[3])) * 1000 + std::stoi(m[4]);
}

class RestartPause : public ::testing::Test {
protected:
    RestartPause()
    {
        installRouter(dir.path());
        // Short settings: a pause after two failures, the healthy time three seconds.
        writeFile(dir / "ovin.ini", "[conf]\r\nHlidatZdaTrovanJede=1\r\nInterval=1000\r\nCekaniNaTrovan=1\r\n"
                                    "[dohled]\r\nUtlum=1\r\nUtlumPokusu=2\r\nUtlumMaxSekund=20\r\nZdravySekund=3\r\n");
        writeFile(dir / "trovan.mode", "dead");
    }
    ~RestartPause() override
    {
        m_host.reset();
        killProcessesIn(dir.path());
    }

    void startHost()
    {
        m_host = std::make_unique<Process>("/usr/bin/trayer",
                                           std::vector<std::string>{"--edge", "top", "--align", "left", "--widthtype",
                                                                    "pixel", "--width", "64", "--heighttype", "pixel",
                                                                    "--height", "32", "--expand", "false"},
                                           dir.path(), x);
    }

    std::vector<std::string> logLines() const { return lines(readFile(dir / monthFileName())); }
    // The times of the lines that end with `message`.
    std::vector<int> timesOf(const std::string& message) const
    {
        std::vector<int> times;
        for (const std::string& line : logLines()) {
            if (line.size() > message.size() && line.ends_with("] " + message))
                times.push_back(stampMs(line).value_or(-1));
        }
        return times;
    }
    bool pauseLogged(int n, std::chrono::milliseconds timeout) const
    {
        return waitFor([&] { return countOf(readFile(dir / monthFileName()), "Trovan opakovane pada") >= n; }, timeout);
    }
    int starts() const { return countOf(readFile(dir / "trovan.log"), "\n"); }
    int yellowInTray() const
    {
        const auto pixels = x.grab(0, 0, 32, 32);
        return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), isYellow));
    }

    XServer x;
    TempFolder dir;
    fs::path exe = installOvin(dir.path());
    std::unique_ptr<Process> m_host;
};

TEST_F(RestartPause, ARouterThatDiesAtOnceIsStartedOnTheScheduleAndItsRecoverySeenWithinATick)
{
    startHost();
    Process ovin(exe, {}, dir.path(), x);

    // Two failures in a row, then a pause of 10 s and up to a tenth more.
    ASSERT_TRUE(pauseLogged(1, 20s));
    const std::string text = readFile(dir / monthFileName());
    EXPECT_TRUE(std::regex_search(text, std::regex(R"(\] Trovan opakovane pada - dalsi pokus za 1[01] s\r\n)")))
        << text;
    EXPECT_EQ(starts(), 2);
    EXPECT_TRUE(waitFor([&] { return yellowInTray() > 5; }, 5s)) << "the warning image while the pause is on";

    // Within the pause no attempt is made; a router that stays comes up with the next one.
    writeFile(dir / "trovan.mode", "normal");
    ASSERT_TRUE(waitFor([&] { return !timesOf(kHealthy).empty(); }, 25s)) << readFile(dir / monthFileName());
    EXPECT_EQ(starts(), 3);
    const std::vector<int> tries = timesOf(kTrying);
    ASSERT_EQ(tries.size(), 3u);
    EXPECT_LT(tries[1] - tries[0], 4000) << "the first failures are tried again at the next tick";
    EXPECT_GE(tries[2] - tries[1], 10'000) << "the third attempt waited for the pause";
    const std::vector<int> up = timesOf("Trovan spusten");
    ASSERT_EQ(up.size(), 1u);
    const int healthyAfterMs = timesOf(kHealthy)[0] - up[0];
    EXPECT_GE(healthyAfterMs, 3000);
    EXPECT_LT(healthyAfterMs, 3000 + 2500) << "seen within a tick of the healthy time";
    EXPECT_TRUE(waitFor([&] { return yellowInTray() == 0; }, 5s)) << "the idle image again";
    EXPECT_EQ(countOf(readFile(dir / monthFileName()), "Trovan opakovane pada"), 1) << "one line for the pause";
}

}  // namespace
}  // namespace ovin::e2e
