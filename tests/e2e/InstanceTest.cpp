#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <optional>

#include "support/E2eSupport.h"

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

TEST_F(Instance, SigtermAndSighupEndTheSessionWithTheClosingLinesAndTheSettings)
{
    int runs = 0;
    for (const int sig : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(sig);
        Process ovin(exe, {}, dir.path());
        ASSERT_TRUE(started(++runs));
        fs::remove(dir / "ovin.ini");
        ovin.signal(sig);
        EXPECT_EQ(ovin.waitExit(10s), 0);
        const std::string text = log();
        EXPECT_EQ(countOf(text, "] UKONCENI PROGRAMU\r\n"), 2 * runs);
        const std::string tail = "] UKONCENI PROGRAMU\r\n";
        EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << "the last separator is never saved";
        EXPECT_NE(readFile(dir / "ovin.ini").find("ZobrazitIkonu=0\r\n"), std::string::npos);
    }
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

TEST_F(Instance, OfTwentySimultaneousStartsExactlyOneRunsRoundAfterRound)
{
    constexpr int kStarts = 20;
    constexpr int kRounds = 5;
    for (int round = 1; round <= kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::vector<std::unique_ptr<Process>> starts;
        for (int i = 0; i < kStarts; ++i)
            starts.push_back(std::make_unique<Process>(exe, std::vector<std::string>{}, dir.path()));

        std::vector<std::optional<int>> codes(kStarts);
        std::vector<Process*> running;
        auto settle = [&] {
            running.clear();
            for (int i = 0; i < kStarts; ++i) {
                if (!codes[i])
                    codes[i] = starts[i]->waitExit(0ms);
                if (!codes[i])
                    running.push_back(starts[i].get());
            }
            return running.size() <= 1;
        };
        ASSERT_TRUE(waitFor(settle, 30s)) << running.size() << " still run";
        ASSERT_EQ(running.size(), 1u) << "none was left running";
        EXPECT_TRUE(started(round)) << "the one left is the watchdog";
        EXPECT_EQ(countOf(log(), " START\r\n"), round) << "only one of them ever created its window";
        for (int i = 0; i < kStarts; ++i) {
            if (starts[i].get() != running.front()) {
                EXPECT_EQ(codes[i], 0) << "the others end quietly";
            }
        }
        running.front()->signal(SIGTERM);
        ASSERT_TRUE(running.front()->waitExit(10s).has_value());
    }
}

// The names the program's instance block may take in shared memory.
std::string blockName(const fs::path& exe)
{
    std::string key;
    for (const char c : fs::canonical(exe).string()) {
        if (c != '/')
            key += c;
    }
    return "ovin-" + std::to_string(::geteuid()) + "-" + key;
}

int run(const std::string& command) { return std::system(command.c_str()); }

// True when some process holds a lock on the file (the system's lock list
// names it by its inode).
bool locked(const fs::path& file)
{
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
        return false;
    const std::string inode = ":" + std::to_string(st.st_ino) + " ";
    return readFile("/proc/locks").find(inode) != std::string::npos;
}

// Another local user plants something under the name of the block or of the
// start gate before the watchdog starts.
struct PlantRow {
    const char* name;
    bool gate;         // the start gate's name rather than the block's
    const char* what;  // shell command run as nobody that makes the file "$F"
    const char* lock;  // how nobody then holds it
};

const PlantRow kPlantRows[] = {
    {"nobody's block with count 1, held", false, "printf '\\000\\000\\000\\000\\001\\000\\000\\000' > \"$F\"", "-s"},
    {"nobody's start gate, locked", true, ": > \"$F\"", "-x"},
};

TEST_F(Instance, WhatAnotherUserPlantsInSharedMemoryDoesNotKeepTheWatchdogOut)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can act as another user here";
    if (run("id nobody >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no user nobody";
    int runs = 0;
    for (const PlantRow& row : kPlantRows) {
        SCOPED_TRACE(row.name);
        const std::string gateName = "ovin-" + std::to_string(::geteuid()) + "-ovin.start";
        const fs::path planted = fs::path("/dev/shm") / (row.gate ? gateName : blockName(exe));
        fs::remove(planted);
        Process planter("/usr/bin/setpriv",
                        {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "/bin/sh", "-c",
                         // The lock stays with the one process the test kills.
                         std::string("F='") + planted.string() + "'; " + row.what + " && exec 9<\"$F\" && flock " +
                             row.lock + " 9 && exec sleep 30"},
                        dir.path());
        ASSERT_TRUE(waitFor([&] { return locked(planted); }, 5s));

        Process ovin(exe, {}, dir.path());
        EXPECT_TRUE(started(++runs)) << "it starts as if nothing were there";
        EXPECT_FALSE(ovin.waitExit(0ms).has_value());
        ovin.signal(SIGTERM);
        EXPECT_EQ(ovin.waitExit(10s), 0);
        planter.signal(SIGKILL);
        planter.waitExit(5s);
        fs::remove(planted);
        fs::remove(planted.string() + "~2");
    }
    for (int i = 2; i <= 8; ++i)
        EXPECT_FALSE(fs::exists("/dev/shm/" + blockName(exe) + "~" + std::to_string(i))) << "none left behind";
}

TEST_F(Instance, ALinkPlantedAsTheBlockIsNeitherFollowedNorAnError)
{
    const fs::path victim = dir / "victim";
    writeFile(victim, "do not touch");
    const fs::path planted = fs::path("/dev/shm") / blockName(exe);
    fs::remove(planted);
    fs::create_symlink(victim, planted);
    {
        Process ovin(exe, {}, dir.path());
        EXPECT_TRUE(started());
        EXPECT_FALSE(ovin.waitExit(0ms).has_value());
        ovin.signal(SIGTERM);
        EXPECT_EQ(ovin.waitExit(10s), 0);
    }
    EXPECT_EQ(readFile(victim), "do not touch");
    EXPECT_TRUE(fs::is_symlink(planted)) << "not ours to remove";
    EXPECT_FALSE(fs::exists("/dev/shm/" + blockName(exe) + "~2")) << "the block it used went with it";
    fs::remove(planted);
}

TEST_F(Instance, ANormalEndLeavesNoBlockBehind)
{
    Process ovin(exe, {}, dir.path());
    ASSERT_TRUE(started());
    EXPECT_TRUE(fs::exists("/dev/shm/" + blockName(exe)));
    ovin.signal(SIGTERM);
    EXPECT_EQ(ovin.waitExit(10s), 0);
    EXPECT_FALSE(fs::exists("/dev/shm/" + blockName(exe)));
}

TEST_F(Instance, ADisplayThatGoesAwayEndsTheRunAsALogOffDoes)
{
    auto display = std::make_unique<XServer>();
    Process ovin(exe, {}, dir.path(), *display);
    ASSERT_TRUE(started());
    fs::remove(dir / "ovin.ini");
    display.reset();
    ASSERT_TRUE(ovin.waitExit(10s).has_value());
    const std::string text = log();
    EXPECT_EQ(countOf(text, "] UKONCENI PROGRAMU\r\n"), 2);
    EXPECT_NE(readFile(dir / "ovin.ini").find("ZobrazitIkonu=0\r\n"), std::string::npos);
    EXPECT_FALSE(fs::exists("/dev/shm/" + blockName(exe))) << "the block goes with the run";
}

TEST_F(Instance, AHandOverThatTheRunningInstanceDoesNotTakeIsReportedAsAFailedStart)
{
    Process first(exe, {}, dir.path());
    ASSERT_TRUE(started());
    // A link runs the same executable under another name: it meets the instance block and hands over, to an
    // instance that is stopped and so never answers.
    const fs::path link = dir / "ovin-link";
    fs::create_symlink(exe, link);
    first.signal(SIGSTOP);
    Process second("/bin/sh", {"-c", "exec \"$0\" 2>stderr.txt", link.string()}, dir.path());
    const std::optional<int> code = second.waitExit(15s);
    first.signal(SIGCONT);
    EXPECT_EQ(code, 1);
    EXPECT_NE(readFile(dir / "stderr.txt").find("ovin: Běžícímu programu Ovin se nepodařilo předat spuštění: "),
              std::string::npos)
        << readFile(dir / "stderr.txt");
    EXPECT_EQ(countOf(log(), " START\r\n"), 1) << "the failed start created no window";
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

TEST_F(OnADisplay, ABlockThatCanBeNeitherCreatedNorOpenedIsReportedInABoxAndOnStderr)
{
    // Shared memory that nobody can write: the system refuses the block.
    if (run("unshare -m true 2>/dev/null") != 0)
        GTEST_SKIP() << "no mount namespace to be had here";
    Process ovin("/usr/bin/unshare",
                 {"-m", "sh", "-c", "mount -t tmpfs -o ro tmpfs /dev/shm && exec \"$0\" 2>stderr.txt", exe.string()},
                 dir.path(), x);
    ASSERT_TRUE(waitFor([&] { return x.windowVisible("ovin"); }, 10s)) << readFile(dir / "stderr.txt");
    const std::string text = "Systémová chyba. Kód: " + std::to_string(EROFS) + ".";
    EXPECT_NE(readFile(dir / "stderr.txt").find(text), std::string::npos) << readFile(dir / "stderr.txt");
    EXPECT_FALSE(x.windowVisible("OVIN v. 3.3"));
    // A box just mapped may not take a key yet, least of all on a loaded machine: answered until the program ends.
    std::optional<int> code;
    waitFor(
        [&] {
            x.run("xdotool search --onlyvisible --name '^ovin$' windowfocus --sync key Return");
            code = ovin.waitExit(300ms);
            return code.has_value();
        },
        15s);
    EXPECT_EQ(code, 1);
    EXPECT_FALSE(fs::exists(dir / monthFileName())) << "no window was created, nothing logged";
}

TEST_F(OnADisplay, ASettingsFileThatCannotBeWrittenAtTheEndIsReportedInABoxAnsweredBeforeTheEnd)
{
    fs::permissions(dir / "ovin.ini", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    Process ovin(exe, {}, dir.path(), x);
    // The write right after the start fails first: its report does not stop the run.
    ASSERT_TRUE(waitFor([&] { return x.windowVisible("Trovan Watch"); }, 10s));
    ASSERT_TRUE(started());
    x.run("xdotool search --onlyvisible --name '^Trovan Watch$' windowfocus --sync key Return");
    ASSERT_TRUE(waitFor([&] { return !x.windowVisible("Trovan Watch"); }, 10s));

    ovin.signal(SIGINT);
    ASSERT_TRUE(waitFor([&] { return x.windowVisible("Trovan Watch"); }, 10s)) << "the end's report";
    EXPECT_NE(processState(ovin.pid()), 0) << "the program waits for the answer";
    // A box just mapped may not take a key yet: answered until the program ends.
    std::optional<int> code;
    waitFor(
        [&] {
            x.run("xdotool search --onlyvisible --name '^Trovan Watch$' windowfocus --sync key Return");
            code = ovin.waitExit(300ms);
            return code.has_value();
        },
        15s);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readFile(dir / "ovin.ini"), kQuietIni) << "the file is as it was";
}

TEST_F(OnADisplay, AStartInADeepFolderHandsOverAsWell)
{
    // A folder of 200 characters: its path is longer than a local socket's
    // name may be.
    fs::path deep = dir.path();
    while (deep.string().size() < 200)
        deep /= std::string(std::min<std::size_t>(40, 200 - deep.string().size() - 1), 'h');
    fs::create_directories(deep);
    ASSERT_EQ(deep.string().size(), 200u);
    writeFile(deep / "ovin.ini", kQuietIni);
    const fs::path deepExe = installOvin(deep);
    Process first(deepExe, {}, deep, x);
    ASSERT_TRUE(waitFor([&] { return countOf(readFile(deep / monthFileName()), "Nastavena priorita") > 0; }, 10s));
    EXPECT_FALSE(x.windowVisible("Trovan Watch")) << "listening failed and was reported";
    const fs::path link = deep / "ovin-link";
    fs::create_symlink(deepExe, link);
    Process second(link, {}, deep, x);
    EXPECT_EQ(second.waitExit(10s), 0);
    EXPECT_TRUE(waitFor([&] { return x.windowVisible("OVIN v. 3.3"); }, 10s));
}

}  // namespace
}  // namespace ovin::e2e
