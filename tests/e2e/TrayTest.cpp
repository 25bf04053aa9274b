#include <gtest/gtest.h>

#include <thread>

#include "support/E2eSupport.h"

namespace ovin::e2e {
namespace {

// The tray host's strip along the top left corner; the icon takes its first
// 32 x 32 slot.
constexpr int kIconCentrePx = 16;

template <typename Pred>
int count(const std::vector<XServer::Pixel>& pixels, Pred pred)
{
    return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), pred));
}

bool isRed(const XServer::Pixel& p) { return p.r > 150 && p.g < 90 && p.b < 90; }

class Tray : public ::testing::Test {
protected:
    ~Tray() override
    {
        if (m_host)
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

    std::string log() const { return readFile(dir / monthFileName()); }
    int priorityLines() const { return countOf(log(), "Nastavena priorita: Normální"); }

    XServer x;
    TempFolder dir;
    fs::path exe = installOvin(dir.path());
    std::unique_ptr<Process> m_host;
};

TEST_F(Tray, TheIconIsAddedOnlyOnceATrayHostRunsAndTheRetriesStopThen)
{
    Process ovin(exe, {}, dir.path(), x);
    ASSERT_TRUE(waitFor([&] { return priorityLines() >= 3; }, 10s)) << "a refused icon is retried every second";
    startHost();
    // Once the icon is in, the start timer stops and no more priority lines come.
    int settled = 0;
    ASSERT_TRUE(waitFor(
        [&] {
            const int before = priorityLines();
            std::this_thread::sleep_for(1500ms);
            settled = priorityLines();
            return settled == before;
        },
        15s));
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(priorityLines(), settled);
    EXPECT_GT(count(x.grab(0, 0, 32, 32), [](const auto& p) { return isRed(p); }), 5) << "the neckerchief is shown";
}

TEST_F(Tray, TheIconShowsRedEyesWhileATickRuns)
{
    // A router that ends at once keeps every tick in its wait for three
    // seconds, with a second of idle between ticks.
    installRouter(dir.path());
    writeFile(dir / "trovan.mode", "crash life=1");
    writeFile(dir / "ovin.ini", "[conf]\r\nHlidatZdaTrovanJede=1\r\nInterval=1000\r\nCekaniNaTrovan=3\r\n");
    startHost();
    Process ovin(exe, {}, dir.path(), x);
    ASSERT_TRUE(waitFor([&] { return countOf(log(), "Čekám na spuštění Trovan 1 s") >= 1; }, 15s));
    const int busyRed = count(x.grab(0, 0, 32, 32), [](const auto& p) { return isRed(p); });
    const int ticks = countOf(log(), "Čekám na spuštění Trovan 3 s");
    ASSERT_TRUE(waitFor([&] { return countOf(log(), "Čekám na spuštění Trovan 3 s") > ticks; }, 10s));
    std::this_thread::sleep_for(400ms);
    const int idleRed = count(x.grab(0, 0, 32, 32), [](const auto& p) { return isRed(p); });
    EXPECT_GT(idleRed, 5);
    EXPECT_GT(busyRed, idleRed) << "the busy picture adds red eyes";
}

TEST_F(Tray, ARightClickOpensTheMenuWithItsBannerAndKonecEndsWithoutAClosingLine)
{
    writeFile(dir / "ovin.ini", "[conf]\r\nInterval=600000\r\n");
    startHost();
    Process ovin(exe, {}, dir.path(), x);
    ASSERT_TRUE(waitFor([&] { return priorityLines() >= 1; }, 10s));
    std::this_thread::sleep_for(500ms);
    x.run("xdotool mousemove " + std::to_string(kIconCentrePx) + " " + std::to_string(kIconCentrePx) + " click 3");

    // The menu opens at the cursor: a sky-blue strip 20 pixels wide down its
    // left edge, with the dark word written upward in it.
    const auto isSky = [](const auto& p) { return p.r == 166 && p.g == 202 && p.b == 240; };
    std::vector<XServer::Pixel> menu;
    ASSERT_TRUE(waitFor(
        [&] {
            menu = x.grab(kIconCentrePx, kIconCentrePx, 60, 120);
            return count(menu, isSky) > 20 * 30;
        },
        10s))
        << "no banner on the screen";
    const int ink = count(menu, [](const auto& p) { return p.x < kIconCentrePx + 22 && p.r + p.g + p.b < 200; });
    EXPECT_GT(ink, 20) << "the word on the banner";

    fs::remove(dir / "ovin.ini");
    x.run("xdotool key Up Return");
    ASSERT_TRUE(waitFor([&] { return x.windowVisible("Ukončení"); }, 10s)) << "the question of Konec";
    x.run("xdotool key Return");
    EXPECT_EQ(ovin.waitExit(10s), 0);
    EXPECT_EQ(countOf(log(), "UKONCENI PROGRAMU"), 0);
    EXPECT_TRUE(fs::exists(dir / "ovin.ini")) << "the settings are written at the end";
}

}  // namespace
}  // namespace ovin::e2e
