// The Linux process table and launcher on real processes. Other programs on
// the machine may run a "trovan.exe" at the same time (the end-to-end tests
// do), so nothing here ends processes by that name: names made for the test
// are used where a test ends all processes of a name.

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <thread>

#include "platform/linux/LinuxLauncher.h"
#include "platform/linux/LinuxProcessTable.h"
#include "watchdog/ProcessOps.h"

extern char** environ;

namespace ovin {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kPatience = 10s;

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = kPatience)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const fs::path& path, const std::string& text, bool executable = false)
{
    std::ofstream(path, std::ios::binary) << text;
    if (executable)
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
}

std::string uniqueName(const std::string& prefix, const std::string& suffix = ".exe")
{
    return prefix + std::to_string(::getpid()) + suffix;
}

class LinuxProcesses : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "ovin-proc-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = fs::canonical(pattern);
    }

    void TearDown() override
    {
        for (const pid_t pid : m_children) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        // Programs the launcher started are not our children; they are known
        // by the folder they run in.
        for (const ProcessEntry& e : table.snapshot()) {
            std::error_code ec;
            const std::string cwd = fs::read_symlink("/proc/" + std::to_string(e.pid) + "/cwd", ec).string();
            if (cwd == m_dir.string() || cwd.starts_with(m_dir.string() + "/"))
                ::kill(static_cast<pid_t>(e.pid), SIGKILL);
        }
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }

    fs::path copyOf(const fs::path& from, const std::string& name)
    {
        const fs::path to = m_dir / name;
        fs::copy_file(from, to);
        fs::permissions(to, fs::perms::owner_all, fs::perm_options::add);
        return to;
    }

    pid_t spawn(const fs::path& program, std::vector<std::string> args = {"30"})
    {
        std::vector<std::string> words{program.string()};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& w : words)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        EXPECT_EQ(::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
        m_children.push_back(pid);
        return pid;
    }

    bool listed(const std::string& name, pid_t pid) const
    {
        const auto all = table.snapshot();
        return std::any_of(all.begin(), all.end(), [&](const ProcessEntry& e) {
            return e.imageName == name && e.pid == static_cast<std::uint32_t>(pid);
        });
    }

    // Reaps a child and tells whether SIGKILL ended it.
    bool killedBySigkill(pid_t pid)
    {
        int status = 0;
        const bool reaped = ::waitpid(pid, &status, 0) == pid;
        m_children.erase(std::remove(m_children.begin(), m_children.end(), pid), m_children.end());
        return reaped && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }

    fs::path m_dir;
    std::vector<pid_t> m_children;
    LinuxProcessTable table;
    LinuxLauncher launcher;
};

TEST_F(LinuxProcesses, ACopyNamedTrovanExeIsFoundAndEndedAndThenNoLongerListed)
{
    const pid_t pid = spawn(copyOf("/bin/sleep", "trovan.exe"));
    ASSERT_TRUE(waitUntil([&] { return listed("trovan.exe", pid); }));
    EXPECT_TRUE(IsProcessRunning(table, "trovan.exe"));
    EXPECT_TRUE(IsProcessRunning(table, "C:\\Program Files\\TROVAN.EXE"));
    EXPECT_GE(CountProcesses(table, "trovan.exe"), 1);

    EXPECT_TRUE(table.terminate({"trovan.exe", static_cast<std::uint32_t>(pid)}));
    // Ended but not yet reaped: a zombie, which must not look as running.
    EXPECT_TRUE(waitUntil([&] { return !listed("trovan.exe", pid); }));
    EXPECT_TRUE(fs::exists("/proc/" + std::to_string(pid)));
    EXPECT_TRUE(killedBySigkill(pid));
}

TEST_F(LinuxProcesses, EveryProcessOfANameIsCountedAndEnded)
{
    const std::string name = uniqueName("ovt");
    const fs::path exe = copyOf("/bin/sleep", name);
    const pid_t a = spawn(exe);
    const pid_t b = spawn(exe);
    ASSERT_TRUE(waitUntil([&] { return CountProcesses(table, name) == 2; }));
    TerminateProcessByName(table, name);
    EXPECT_TRUE(waitUntil([&] { return CountProcesses(table, name) == 0; }));
    EXPECT_TRUE(killedBySigkill(a));
    EXPECT_TRUE(killedBySigkill(b));
}

TEST_F(LinuxProcesses, LongNamesAndScriptsAreListedUnderTheirOwnNames)
{
    const std::string longName = uniqueName("ovin-test-router-");
    const pid_t program = spawn(copyOf("/bin/sleep", longName));
    // A script's process is its interpreter, under the script's name.
    const std::string scriptName = "trovan.exe";
    const fs::path script = m_dir / scriptName;
    writeText(script, "#!/bin/sh\nwhile :; do sleep 1; done\n", true);
    const pid_t scriptPid = spawn(script, {});

    EXPECT_TRUE(waitUntil([&] { return listed(longName, program); }));
    EXPECT_TRUE(waitUntil([&] { return listed(scriptName, scriptPid); }));
    EXPECT_TRUE(IsProcessRunning(table, longName));
    EXPECT_EQ(CountProcesses(table, longName), 1);
}

TEST_F(LinuxProcesses, AProcessThatExecsTheNameIsFoundAndAsAZombieNoLonger)
{
    const std::string name = uniqueName("ovx");
    copyOf("/bin/sleep", name);
    // Started as a shell, it becomes the program under the name.
    const pid_t pid = spawn("/bin/sh", {"-c", "cd '" + m_dir.string() + "' && exec ./" + name + " 30"});
    ASSERT_TRUE(waitUntil([&] { return CountProcesses(table, name) == 1; }));
    EXPECT_TRUE(IsProcessRunning(table, name));
    TerminateProcessByName(table, name);
    EXPECT_TRUE(waitUntil([&] { return !IsProcessRunning(table, name); }));
    EXPECT_EQ(CountProcesses(table, name), 0);
    EXPECT_TRUE(fs::exists("/proc/" + std::to_string(pid))) << "a zombie, not yet reaped";
    EXPECT_TRUE(killedBySigkill(pid));
}

TEST_F(LinuxProcesses, AProcessIsNotEndedUnderAnotherName)
{
    const std::string name = uniqueName("ovt");
    const pid_t pid = spawn(copyOf("/bin/sleep", name));
    ASSERT_TRUE(waitUntil([&] { return listed(name, pid); }));
    EXPECT_FALSE(table.terminate({"other.exe", static_cast<std::uint32_t>(pid)}));
    EXPECT_FALSE(table.terminate({name, 0}));
    EXPECT_TRUE(listed(name, pid));
}

TEST_F(LinuxProcesses, ALaunchedProgramRunsDetachedInTheGivenFolder)
{
    const fs::path work = m_dir / "work";
    fs::create_directory(work);
    const fs::path script = m_dir / "run.sh";
    writeText(script, "#!/bin/sh\npwd -P > where\necho $$ > pid.tmp\nmv pid.tmp pid\nexec sleep 30\n", true);
    ASSERT_TRUE(launcher.open(script.string(), work.string()));

    // The go-between child is reaped before the launch returns.
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);

    ASSERT_TRUE(waitUntil([&] { return fs::exists(work / "pid"); }));
    const pid_t pid = std::stoi(readText(work / "pid"));
    EXPECT_EQ(readText(work / "where"), work.string() + "\n");
    EXPECT_NE(::getsid(pid), ::getsid(0)) << "a session of its own";
    // The shell holds its script open until it has become the sleep.
    const fs::path proc = "/proc/" + std::to_string(pid);
    ASSERT_TRUE(waitUntil([&] { return readText(proc / "comm") == "sleep\n"; }));
    const fs::path fds = proc / "fd";
    for (const char* fd : {"0", "1", "2"})
        EXPECT_EQ(fs::read_symlink(fds / fd), "/dev/null");
    EXPECT_EQ(std::distance(fs::directory_iterator(fds), fs::directory_iterator()), 3)
        << "nothing of ours stays open in it";
}

TEST_F(LinuxProcesses, AStartThatCannotBeMadeIsReported)
{
    const fs::path plain = m_dir / "plain.txt";
    writeText(plain, "no program");
    const fs::path program = copyOf("/bin/true", "ok.exe");
    EXPECT_FALSE(launcher.open((m_dir / "missing.exe").string(), m_dir.string()));
    EXPECT_FALSE(launcher.open(plain.string(), m_dir.string()));
    EXPECT_FALSE(launcher.open(program.string(), (m_dir / "no-such-folder").string()));
    EXPECT_TRUE(launcher.open(program.string(), m_dir.string()));
}

TEST_F(LinuxProcesses, AWindowsProgramIsStartedThroughWine)
{
    const fs::path bin = m_dir / "bin";
    fs::create_directory(bin);
    writeText(bin / "wine", "#!/bin/sh\necho \"$1\" > wine-arg.tmp\nmv wine-arg.tmp wine-arg\n", true);
    const fs::path windows = m_dir / "router.exe";
    writeText(windows, std::string("MZ\x90\0\x03", 5));

    const char* oldPath = std::getenv("PATH");
    const std::string savedPath = oldPath ? oldPath : "";
    ::setenv("PATH", "/nowhere", 1);
    EXPECT_FALSE(launcher.open(windows.string(), m_dir.string())) << "no wine on the path";
    ::setenv("PATH", (bin.string() + ":" + savedPath).c_str(), 1);
    const bool started = launcher.open(windows.string(), m_dir.string()).ok;
    ::setenv("PATH", savedPath.c_str(), 1);

    ASSERT_TRUE(started);
    ASSERT_TRUE(waitUntil([&] { return fs::exists(m_dir / "wine-arg"); }));
    EXPECT_EQ(readText(m_dir / "wine-arg"), windows.string() + "\n");
}

// The stand-in router, started as the watchdog starts it.
class StandInRouter : public LinuxProcesses {
protected:
    // The stand-in started in the test's folder, once it is listed.
    std::optional<ProcessEntry> start(const std::string& mode)
    {
        writeText(m_dir / "trovan.mode", mode);
        if (!launcher.open(OVIN_TROVAN_EXE, m_dir.string()))
            return std::nullopt;
        std::optional<ProcessEntry> found;
        waitUntil([&] {
            for (const ProcessEntry& e : table.snapshot()) {
                std::error_code ec;
                if (e.imageName == "trovan.exe" &&
                    fs::read_symlink("/proc/" + std::to_string(e.pid) + "/cwd", ec) == m_dir)
                    found = e;
            }
            return found.has_value();
        });
        return found;
    }

    bool requestThere() const { return fs::exists(m_dir / "request.cfg"); }
};

TEST_F(StandInRouter, StallWritesItsRequestFileOnceAndStays)
{
    writeText(m_dir / "request.cfg", "left over\r\n");
    const auto router = start("stall lines=4");
    ASSERT_TRUE(router);
    EXPECT_TRUE(waitUntil([&] { return SplitLines(readText(m_dir / "request.cfg")).size() == 4; }));
    EXPECT_EQ(readText(m_dir / "trovan.log"), "start stall\n");
    EXPECT_TRUE(table.terminate(*router));
}

TEST_F(StandInRouter, NormalWritesAndRemovesItsRequestFile)
{
    const auto router = start("normal period=100 writes=3 gap=300");
    ASSERT_TRUE(router);
    EXPECT_TRUE(waitUntil([&] { return requestThere(); }));
    EXPECT_TRUE(waitUntil([&] { return !requestThere(); }));
    EXPECT_TRUE(waitUntil([&] { return requestThere(); }));
}

TEST_F(StandInRouter, CrashEndsByItselfAndSlowStartsLate)
{
    const auto crashing = start("crash life=300");
    ASSERT_TRUE(crashing);
    EXPECT_TRUE(waitUntil([&] { return !listed("trovan.exe", static_cast<pid_t>(crashing->pid)); }));

    fs::remove(m_dir / "request.cfg");
    const auto slow = start("slow delay=500");
    ASSERT_TRUE(slow);
    EXPECT_TRUE(waitUntil([&] { return requestThere(); }));
    EXPECT_EQ(readText(m_dir / "trovan.log"), "start crash\nstart slow\n");
}

}  // namespace
}  // namespace ovin
