#include <gtest/gtest.h>

#include <signal.h>

#include "E2eSupport.h"

namespace ovin::e2e {
namespace {

// Quiet settings: no icon wanted, so the log stays still after its start.
const std::string kQuietIni = "[conf]\r\nZobrazitIkonu=0\r\n";

class Instance : public ::testing::Test {
protected:
    Instance() { writeFile(dir / "ovin.ini", kQuietIni); }

    std::string log() const { return readFile(dir / monthFileName()); }
    bool started(int runs = 1) const
    {
        return waitFor([&] { return countOf(log(), "Nastavena priorita: Normální") >= runs; }, 10s);
    }

    TempFolder dir;
    fs::path exe = installOvin(dir.path());
};

TEST_F(Instance, ASecondStartEndsAtOnceAndWritesNothing)
{
    Process first(exe, {}, dir.path());
    ASSERT_TRUE(started());
    const std::string logBefore = log();
    const std::string iniBefore = readFile(dir / "ovin.ini");
    fs::remove(dir / "ovin.ini.old");

    Process second(exe, {"show"}, dir.path());
    EXPECT_EQ(second.waitExit(5s), 0);
    EXPECT_EQ(log(), logBefore);
    EXPECT_EQ(readFile(dir / "ovin.ini"), iniBefore);
    EXPECT_FALSE(fs::exists(dir / "ovin.ini.old"));
    EXPECT_FALSE(first.waitExit(0ms).has_value()) << "the first one runs on";
}

TEST_F(Instance, AWatchdogKilledOutrightDoesNotKeepTheNextStartOut)
{
    {
        Process first(exe, {}, dir.path());
        ASSERT_TRUE(started());
        first.signal(SIGKILL);
        ASSERT_TRUE(first.waitExit(5s).has_value());
    }
    Process next(exe, {}, dir.path());
    EXPECT_TRUE(started(2));
    EXPECT_FALSE(next.waitExit(0ms).has_value());
}

TEST_F(Instance, SigtermEndsTheSessionWithTheClosingLinesAndTheSettings)
{
    Process ovin(exe, {}, dir.path());
    ASSERT_TRUE(started());
    fs::remove(dir / "ovin.ini");
    ovin.signal(SIGTERM);
    EXPECT_EQ(ovin.waitExit(10s), 0);
    const std::string text = log();
    EXPECT_EQ(countOf(text, "] UKONCENI PROGRAMU\r\n"), 2);
    const std::string tail = "] UKONCENI PROGRAMU\r\n";
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << "the last separator is never saved";
    EXPECT_NE(readFile(dir / "ovin.ini").find("ZobrazitIkonu=0\r\n"), std::string::npos);
}

TEST_F(Instance, SigintQuitsWithoutClosingLinesButWritesTheSettings)
{
    Process ovin(exe, {}, dir.path());
    ASSERT_TRUE(started());
    fs::remove(dir / "ovin.ini");
    ovin.signal(SIGINT);
    EXPECT_EQ(ovin.waitExit(10s), 0);
    EXPECT_EQ(countOf(log(), "UKONCENI PROGRAMU"), 0);
    EXPECT_TRUE(fs::exists(dir / "ovin.ini"));
}

TEST_F(Instance, ACopyUnderAnotherNameElsewhereRunsIndependently)
{
    Process first(exe, {}, dir.path());
    ASSERT_TRUE(started());
    TempFolder other;
    const fs::path copy = other / "ovin2";
    fs::copy_file(exe, copy);
    writeFile(other / "ovin.ini", kQuietIni);
    Process second(copy, {}, other.path());
    EXPECT_TRUE(waitFor([&] { return countOf(readFile(other / monthFileName()), "Nastavena priorita") > 0; }, 10s));
    EXPECT_FALSE(second.waitExit(0ms).has_value());
}

TEST_F(Instance, ACopyUnderTheSameNameElsewhereEndsQuietly)
{
    Process first(exe, {}, dir.path());
    ASSERT_TRUE(started());
    TempFolder other;
    const fs::path copy = installOvin(other.path());
    Process second(copy, {}, other.path());
    EXPECT_EQ(second.waitExit(5s), 0);
    EXPECT_FALSE(fs::exists(other / "ovin.ini"));
}

class OnADisplay : public Instance {
protected:
    XServer x;
};

TEST_F(OnADisplay, TheWordShowInAnyCaseShowsTheWindowAndSlashShowDoesNot)
{
    {
        Process ovin(exe, {"/show"}, dir.path(), x);
        ASSERT_TRUE(started());
        EXPECT_FALSE(x.windowVisible("OVIN v. 3.3"));
    }
    Process ovin(exe, {"sHoW"}, dir.path(), x);
    EXPECT_TRUE(waitFor([&] { return x.windowVisible("OVIN v. 3.3"); }, 10s));
}

TEST_F(OnADisplay, AStartThatFindsTheRunningInstanceHandsOverAndShowsItsWindow)
{
    Process first(exe, {}, dir.path(), x);
    ASSERT_TRUE(started());
    EXPECT_FALSE(x.windowVisible("OVIN v. 3.3"));
    // A link under another name is not counted as the running program, but
    // it runs the same executable and so meets the same instance block.
    const fs::path link = dir / "ovin-link";
    fs::create_symlink(exe, link);
    Process second(link, {}, dir.path(), x);
    EXPECT_EQ(second.waitExit(10s), 0);
    EXPECT_TRUE(waitFor([&] { return x.windowVisible("OVIN v. 3.3"); }, 10s));
    EXPECT_EQ(countOf(log(), " START\r\n"), 1) << "the second start created no window and logged nothing";
}

}  // namespace
}  // namespace ovin::e2e
