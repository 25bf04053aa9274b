// The Windows process services on real processes: the stand-in router
// started through the shell in its folder, found, counted and ended by image
// name; the priority classes; the own executable.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/Win32TestSupport.h"
#include "platform/win32/Win32CommandRunner.h"
#include "platform/win32/Win32Launcher.h"
#include "platform/win32/Win32ProcessControl.h"
#include "platform/win32/Win32ProcessTable.h"
#include "platform/win32/Win32Text.h"
#include "watchdog/ProcessOps.h"

namespace ovin {
namespace {

using namespace std::chrono_literals;

constexpr const char* kRouter = "trovan.exe";

class Win32Processes : public ::testing::Test {
protected:
    void SetUp() override { endRouters(); }
    void TearDown() override { endRouters(); }

    // Routers of this Wine session left by an earlier run.
    void endRouters()
    {
        TerminateProcessByName(table, kRouter);
        EXPECT_TRUE(test::waitFor([&] { return !IsProcessRunning(table, kRouter); }, 10s));
    }

    // A copy of the stand-in router under `name` in a folder of its own,
    // told how to behave.
    std::string placeRouter(const test::TempFolder& folder, const std::string& name, const std::string& mode)
    {
        const std::string exe = folder.at(name);
        EXPECT_TRUE(
            ::CopyFileW(win32::widen(test::hostPath(OVIN_TROVAN_EXE)).c_str(), win32::widen(exe).c_str(), TRUE));
        EXPECT_TRUE(test::writeBytes(folder.at("trovan.mode"), mode));
        return exe;
    }

    Win32ProcessTable table;
    Win32Launcher launcher;
};

TEST_F(Win32Processes, RouterStartsInItsFolderAndEndsByName)
{
    test::TempFolder first("router");
    test::TempFolder second("router");
    const std::string exe = placeRouter(first, kRouter, "stall lines=2");
    // Image names compare without case: the same router in capitals.
    const std::string loud = placeRouter(second, "TROVAN.EXE", "stall lines=3");

    ASSERT_TRUE(launcher.open(exe, first.path()).ok);
    // Its working folder is the one given: its files appear there.
    ASSERT_TRUE(test::waitFor([&] { return test::exists(first.at("request.cfg")); }, 20s));
    EXPECT_EQ(test::readBytes(first.at("trovan.log")), "start stall\r\n");
    EXPECT_TRUE(IsProcessRunning(table, kRouter));
    EXPECT_TRUE(IsProcessRunning(table, "C:\\elsewhere\\TROVAN.exe")) << "the folder of the name does not count";
    EXPECT_EQ(CountProcesses(table, kRouter), 1);

    ASSERT_TRUE(launcher.open(loud, second.path()).ok);
    ASSERT_TRUE(test::waitFor([&] { return test::exists(second.at("request.cfg")); }, 20s));
    EXPECT_EQ(CountProcesses(table, " Trovan.exe "), 2);

    TerminateProcessByName(table, kRouter);
    EXPECT_TRUE(test::waitFor([&] { return CountProcesses(table, kRouter) == 0; }, 10s)) << "both ended";
}

TEST_F(Win32Processes, TheAlertCommandGetsItsVariablesAndIsEndedAfterItsLimit)
{
    test::TempFolder folder("alert");
    // A program that never ends, under a name of its own.
    const std::string exe = placeRouter(folder, "visi.exe", "stall");
    Win32CommandRunner runner(400ms);
    const auto began = std::chrono::steady_clock::now();
    ASSERT_TRUE(runner.start(exe, folder.path(), {{"OVIN_EVENT", "stall"}}, "OVIN_LOG_TAIL", "x\r\n").ok);
    EXPECT_LT(std::chrono::steady_clock::now() - began, 1s) << "the start waits for nothing";
    ASSERT_TRUE(test::waitFor([&] { return IsProcessRunning(table, "visi.exe"); }, 20s));
    EXPECT_TRUE(test::waitFor([&] { return !IsProcessRunning(table, "visi.exe"); }, 10s)) << "ended after its limit";

    // A batch file through the command interpreter, in its folder, with the log's lines in the code page's file.
    const std::string script = folder.at("upozorni.cmd");
    ASSERT_TRUE(test::writeBytes(script, "@echo off\r\nset OVIN_EVENT>env.txt\r\ntype \"%OVIN_LOG_TAIL%\">tail.txt\r\n"
                                         "echo %OVIN_LOG_TAIL%>tailpath.txt\r\n"));
    Win32CommandRunner quick;
    ASSERT_TRUE(quick
                    .start(script, folder.path(), {{"OVIN_EVENT", "crash"}}, "OVIN_LOG_TAIL",
                           "[00:00:01.000] Čekám na spuštění Trovan 1 s\r\n")
                    .ok);
    ASSERT_TRUE(test::waitFor([&] { return test::readBytes(folder.at("tailpath.txt")).size() > 2; }, 20s));
    EXPECT_EQ(test::readBytes(folder.at("env.txt")), "OVIN_EVENT=crash\r\n");
    EXPECT_EQ(test::readBytes(folder.at("tail.txt")),
              "[00:00:01.000] \xC8\x65k\xE1m na spu\x9At\xECn\xED Trovan 1 s\r\n");
    std::string tailPath = test::readBytes(folder.at("tailpath.txt"));
    tailPath.resize(tailPath.size() - 2);
    EXPECT_TRUE(test::waitFor([&] { return !test::exists(tailPath); }, 10s)) << tailPath;

    const Result missing = quick.start(folder.at("chybi.exe"), folder.path(), {}, "OVIN_LOG_TAIL", "");
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.error.empty());
}

TEST_F(Win32Processes, FailuresCarryTheSystemsText)
{
    test::TempFolder folder("launch");
    const Result missing = launcher.open(folder.at("trovan.exe"), folder.path());
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.error.empty());

    // No process has this id: the system's process ids are multiples of 4.
    const Result none = table.terminate({kRouter, 0x7FFFFFF1u});
    EXPECT_FALSE(none.ok);
    EXPECT_FALSE(none.error.empty());
}

TEST_F(Win32Processes, PriorityClassesOfTheWatchCycle)
{
    Win32ProcessControl control;
    struct Case {
        PriorityClass cls;
        DWORD expected;
        DWORD alternative;  // what the system gives without the privilege
    };
    const Case cases[] = {
        {PriorityClass::Idle, IDLE_PRIORITY_CLASS, IDLE_PRIORITY_CLASS},
        {PriorityClass::High, HIGH_PRIORITY_CLASS, HIGH_PRIORITY_CLASS},
        {PriorityClass::RealTime, REALTIME_PRIORITY_CLASS, HIGH_PRIORITY_CLASS},
        {PriorityClass::Normal, NORMAL_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(control.setOwnPriorityClass(c.cls).ok);
        const DWORD now = ::GetPriorityClass(::GetCurrentProcess());
        EXPECT_TRUE(now == c.expected || now == c.alternative) << now;
    }
}

TEST_F(Win32Processes, OwnProcessIsListedUnderItsImageName)
{
    Win32ProcessControl control;
    const std::string exe = control.executablePath();
    EXPECT_EQ(exe.substr(1, 2), ":\\");
    const std::string image(FileNamePart(exe));
    EXPECT_EQ(image, "win32_process_tests.exe");
    bool found = false;
    for (const ProcessEntry& e : table.snapshot())
        found = found || (e.pid == ::GetCurrentProcessId() && e.imageName == image);
    EXPECT_TRUE(found);
    EXPECT_EQ(CountProcesses(table, exe), 1);
}

}  // namespace
}  // namespace ovin
