// A second process for the Windows tests.
//
//   ovin_win32_probe block EXE OUT   opens the instance block of EXE, writes
//                                    "existed window count" to OUT, then
//                                    raises the count by one and sets the
//                                    window to 77
//   ovin_win32_probe gate FOLDER GO  waits for the event named GO, then
//                                    takes its turn at the start gate as a
//                                    start of the program does: the one
//                                    admitted writes "admitted-PID" into
//                                    FOLDER and runs until FOLDER holds
//                                    "stop"; a refused one stands aside,
//                                    writes "refused-PID" and takes a while
//                                    to end, as a start that hands over does

#include <windows.h>

#include <shellapi.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/InstanceBlock.h"
#include "platform/Platform.h"
#include "platform/StartGate.h"
#include "platform/win32/Win32Text.h"
#include "watchdog/ProcessOps.h"

namespace {

using namespace std::chrono_literals;

constexpr auto kRunLimit = 120s;
constexpr DWORD kGoLimitMs = 60000;
// About as long as a refused start takes to hand over to the running one.
constexpr auto kEndingTime = 1s;

std::vector<std::string> arguments()
{
    int n = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &n);
    std::vector<std::string> args;
    for (int i = 0; i < n; ++i)
        args.push_back(ovin::win32::narrow(wide[i]));
    ::LocalFree(wide);
    return args;
}

void touch(const std::string& path)
{
    const HANDLE h = ::CreateFileW(ovin::win32::widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        ::CloseHandle(h);
}

bool exists(const std::string& path)
{
    return ::GetFileAttributesW(ovin::win32::widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

int block(const std::string& exe, const std::string& out)
{
    const auto b = ovin::createInstanceBlock(exe);
    const bool existed = b->createOrOpen();
    {
        std::ofstream(std::filesystem::path(ovin::win32::widen(out)))
            << (existed ? 1 : 0) << ' ' << b->window() << ' ' << b->count();
    }
    b->setCount(b->count() + 1);
    b->setWindow(77);
    return 0;
}

int gate(const std::string& folder, const std::string& go)
{
    const HANDLE start = ::OpenEventW(SYNCHRONIZE, FALSE, ovin::win32::widen(go).c_str());
    if (start) {
        ::WaitForSingleObject(start, kGoLimitMs);
        ::CloseHandle(start);
    }
    ovin::Platform platform = ovin::createPlatform();
    const std::string image(ovin::FileNamePart(platform.process->executablePath()));
    const auto g = ovin::createStartGate(image);
    (void)g->enter(ovin::kStartGateTimeout);
    const std::string pid = std::to_string(::GetCurrentProcessId());
    if (ovin::CountProcesses(*platform.processes, image) != 1) {
        g->standAside();
        g->leave();
        touch(folder + "\\refused-" + pid);
        std::this_thread::sleep_for(kEndingTime);
        return 0;
    }
    g->leave();
    touch(folder + "\\admitted-" + pid);
    const auto until = std::chrono::steady_clock::now() + kRunLimit;
    while (!exists(folder + "\\stop") && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(20ms);
    return 0;
}

}  // namespace

int main()
{
    const std::vector<std::string> args = arguments();
    if (args.size() == 4 && args[1] == "block")
        return block(args[2], args[3]);
    if (args.size() == 4 && args[1] == "gate")
        return gate(args[2], args[3]);
    return 2;
}
