#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "support/E2eSupport.h"

namespace ovin::e2e {
namespace {

constexpr int kPanelHeightPx = 130;

// Centres of the panel's controls, inside the panel.
struct Spot {
    int x, y;
};
constexpr Spot kSeMaxSame{312 + 36, 32 + 11};
constexpr Spot kSeWait{312 + 36, 104 + 11};
constexpr Spot kBSaveConf{504 + 37, 96 + 12};

// The tray host's strip along the top left corner; the icon takes its first
// 32 x 32 slot.
constexpr int kIconCentrePx = 16;

class Panel : public ::testing::Test {
protected:
    ~Panel() override
    {
        m_host.reset();
        killProcessesIn(dir.path());
    }

    std::string log() const { return readFile(dir / monthFileName()); }
    std::string ini() const { return readFile(dir / "ovin.ini"); }

    void startHost()
    {
        m_host = std::make_unique<Process>("/usr/bin/trayer",
                                           std::vector<std::string>{"--edge", "top", "--align", "left", "--widthtype",
                                                                    "pixel", "--width", "64", "--heighttype", "pixel",
                                                                    "--height", "32", "--expand", "false"},
                                           dir.path(), x);
    }

    /// Right-clicks the tray icon until its menu is up, its sky-blue banner at the pointer. On a loaded machine the
    /// host may take the icon late, or fail to start at all: then it is started again.
    bool openTrayMenu()
    {
        const auto bannerShown = [&] {
            for (const XServer::Pixel& p : x.grab(kIconCentrePx, kIconCentrePx, 30, 120))
                if (p.r == 166 && p.g == 202 && p.b == 240)
                    return true;
            return false;
        };
        return waitFor(
            [&] {
                if (m_host->waitExit(0ms))
                    startHost();
                x.run("xdotool mousemove " + std::to_string(kIconCentrePx) + " " + std::to_string(kIconCentrePx) +
                      " click 3");
                return waitFor(bannerShown, 1500ms);
            },
            20s);
    }

    /// Waits for the shown main window and notes where its panel lies.
    bool findPanel()
    {
        if (!waitFor([&] { return x.windowVisible("OVIN v. 3.3"); }, 10s))
            return false;
        // Let the window take its place and the input focus.
        std::this_thread::sleep_for(500ms);
        std::istringstream geometry(
            x.run("xdotool search --onlyvisible --name '^OVIN v. 3.3$' getwindowgeometry --shell | head -6"));
        int left = -1, top = -1, height = -1;
        for (std::string line; std::getline(geometry, line);) {
            if (line.rfind("X=", 0) == 0)
                left = std::stoi(line.substr(2));
            else if (line.rfind("Y=", 0) == 0)
                top = std::stoi(line.substr(2));
            else if (line.rfind("HEIGHT=", 0) == 0)
                height = std::stoi(line.substr(7));
        }
        m_panelLeft = left;
        m_panelTop = top + height - kPanelHeightPx;
        return left >= 0 && height > kPanelHeightPx;
    }

    void click(Spot s) const
    {
        x.run("xdotool mousemove " + std::to_string(m_panelLeft + s.x) + " " + std::to_string(m_panelTop + s.y) +
              " click 1");
    }
    /// Replaces a field's text as a user does.
    void typeInto(Spot field, const std::string& text) const
    {
        click(field);
        x.run("xdotool key ctrl+a type '" + text + "'");
    }

    XServer x;
    TempFolder dir;
    fs::path exe = installOvin(dir.path());
    std::unique_ptr<Process> m_host;
    int m_panelLeft = 0;
    int m_panelTop = 0;
};

TEST_F(Panel, ASettingTakenOverInThePanelIsWrittenAtKonecAndReadAtTheNextStart)
{
    writeFile(dir / "ovin.ini", "[conf]\r\nInterval=600000\r\nMaxStejnyRequest=5\r\n");
    startHost();
    {
        Process ovin(exe, {"SHOW"}, dir.path(), x);
        ASSERT_TRUE(findPanel()) << "the main window is shown";
        typeInto(kSeMaxSame, "8");
        click(kBSaveConf);
        std::this_thread::sleep_for(300ms);
        EXPECT_NE(ini().find("MaxStejnyRequest=5\r\n"), std::string::npos) << "ULOŽIT writes nothing";

        ASSERT_TRUE(openTrayMenu()) << "the tray icon's menu";
        x.run("xdotool key Up Return");
        ASSERT_TRUE(waitFor([&] { return x.windowVisible("Ukončení"); }, 10s)) << "the question of Konec";
        // The shown main window may still hold the keyboard: give it to the question.
        x.run("xdotool search --onlyvisible --name '^Ukončení$' windowfocus --sync key Return");
        ASSERT_EQ(ovin.waitExit(10s), 0);
    }
    EXPECT_NE(ini().find("MaxStejnyRequest=8\r\n"), std::string::npos) << ini();

    Process next(exe, {}, dir.path());
    ASSERT_TRUE(waitFor([&] { return countOf(log(), "MaxStejnyRequest=8") >= 1; }, 10s))
        << "the next start lists the value in its summary";
}

TEST_F(Panel, AWaitTypedIntoItsFieldCountsAtTheNextLaunchWithoutUlozit)
{
    // A router that ends at once is launched on every tick, and each launch
    // waits as long as the wait field says.
    installRouter(dir.path());
    writeFile(dir / "trovan.mode", "crash life=1");
    writeFile(dir / "ovin.ini",
              "[conf]\r\nZobrazitIkonu=0\r\nHlidatZdaTrovanJede=1\r\nInterval=1000\r\nCekaniNaTrovan=1\r\n");
    Process ovin(exe, {"SHOW"}, dir.path(), x);
    ASSERT_TRUE(findPanel()) << "the main window is shown";
    typeInto(kSeWait, "3");
    const auto waitedThree = [&] {
        const auto logged = messages(log());
        return contains(
            logged, {"Čekám na spuštění Trovan 1 s", "Čekám na spuštění Trovan 2 s", "Čekám na spuštění Trovan 3 s"});
    };
    ASSERT_TRUE(waitFor(waitedThree, 20s)) << log();
    // Each launch counts up to the field's value and no further.
    EXPECT_EQ(countOf(log(), "Čekám na spuštění Trovan 4 s"), 0);
    EXPECT_NE(ini().find("CekaniNaTrovan=1\r\n"), std::string::npos) << "not taken over without ULOŽIT";
}

}  // namespace
}  // namespace ovin::e2e
