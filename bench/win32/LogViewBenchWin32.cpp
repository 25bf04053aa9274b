// The Windows log view on a month of log (2.6 million lines, as the Linux bench makes them):
//   (a)   the real program (ovin.exe beside this bench) started with its window shown in a folder with the month
//         file, until its first timestamped line reaches the month file; (b) its peak memory a moment later;
// and in this process:
//   load  the month file into the log (read, decoded from the system's code page),
//   (a')  the view created on the loaded log until the first new line is logged and painted,
//   (b')  this process's peak memory with the view shown,
//   (c)   one AddLogLine with the view painted, at 2.6 M lines and at 1,000,
//   (d)   one character typed at the end, then a logged line, painted.
// It prints figures; it fails no build.

#include <windows.h>

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "controls/win32/WindowClass.h"
#include "bench/MonthLogLines.h"
#include "platform/Platform.h"
#include "settings/EventLog.h"
#include "shell/LogDocument.h"
#include "shell/win32/UniqueHandle.h"
#include "platform/win32/Win32Text.h"
#include "shell/win32/Win32LogView.h"

namespace {

using Clock = std::chrono::steady_clock;
using ovin::win32::narrow;
using ovin::win32::widen;

constexpr int kMonthLines = 2'600'000;
constexpr int kSmallLines = 1'000;
constexpr int kTimedLines = 200;
constexpr int kViewId = 1;
constexpr const char* kLine = "Nastavena priorita: Normální";

double msSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

// WM_PAINT handled by the view since the last look: a figure that says "painted" is checked, not assumed. Counted
// in the view's own window procedure, as a paint that UpdateWindow hands straight to it passes no hook.
WNDPROC g_viewProc = nullptr;
long g_paints = 0;
LRESULT CALLBACK countPaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT)
        ++g_paints;
    return CallWindowProcW(g_viewProc, window, message, wParam, lParam);
}

void paintNow(HWND view) { RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }

void pumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The lines a month of log leaves, as the Linux bench writes them, in the system's code page (1250: "á" 0xE1,
// "í" 0xED), written a few megabytes at a time so that making the file does not raise this process's peak.
bool writeMonthFile(const std::wstring& path, int lines)
{
    ovin::win32::KernelHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    std::string chunk;
    chunk.reserve(std::size_t{4} << 20);
    for (int i = 0; i < lines; ++i) {
        ovin::bench::appendMonthLogLine(chunk, i, "Norm\xE1ln\xED");
        if (chunk.size() > (std::size_t{4} << 20) - 200 || i + 1 == lines) {
            DWORD written = 0;
            if (!WriteFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr))
                return false;
            chunk.clear();
        }
    }
    return true;
}

struct Memory {
    double peakWorkingSetMb = -1;
    double peakPagefileMb = -1;
};

Memory peakMemory()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return {};
    return {counters.PeakWorkingSetSize / 1e6, counters.PeakPagefileUsage / 1e6};
}

struct Frame {
    Frame()
    {
        constexpr wchar_t kFrameClass[] = L"OvinLogViewBench";
        ovin::win32::RegisterWindowClass({.name = kFrameClass, .procedure = DefWindowProcW, .cursor = nullptr});
        window.reset(CreateWindowExW(0, kFrameClass, L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 640, 420, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr));
    }
    ovin::win32::WindowHandle window;
};

// ---- (a), (b): the real program ----

struct StartFigures {
    double firstLineMs = -1;
    Memory memory;
    std::string firstLine;
};

std::wstring besideThisBench(const wchar_t* name)
{
    wchar_t self[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring path(self, length);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

long long fileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The last `count` bytes of a file that the program may be replacing meanwhile (it saves through a file beside it).
std::string fileTail(const std::wstring& path, long long size, int count)
{
    ovin::win32::KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || size < count)
        return {};
    LARGE_INTEGER at{};
    at.QuadPart = size - count;
    std::string tail(static_cast<std::size_t>(count), '\0');
    DWORD read = 0;
    if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) ||
        !ReadFile(file.get(), tail.data(), static_cast<DWORD>(count), &read, nullptr))
        return {};
    tail.resize(read);
    return tail;
}

StartFigures startRealProgram(const std::wstring& folder, const std::wstring& monthFile)
{
    StartFigures f;
    const std::wstring exe = folder + L"ovin.exe";
    if (!CopyFileW(besideThisBench(L"ovin.exe").c_str(), exe.c_str(), FALSE)) {
        std::printf("Cannot copy ovin.exe from beside the bench\n");
        return f;
    }
    const long long sizeBefore = fileSize(monthFile);
    std::wstring commandLine = L"\"" + exe + L"\" show";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const auto start = Clock::now();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &started)) {
        std::printf("Cannot start %s: error %lu\n", narrow(exe).c_str(), GetLastError());
        return f;
    }
    const ovin::win32::KernelHandle process(started.hProcess);
    const ovin::win32::KernelHandle thread(started.hThread);
    // No router beside it, so the run's first timestamped line is "... NENALEZEN !", logged while the window is made.
    while (msSince(start) < 30'000 && f.firstLineMs < 0) {
        const long long size = fileSize(monthFile);
        if (size > sizeBefore) {
            const std::string tail = fileTail(monthFile, size, 200);
            if (tail.size() >= 13 && tail.compare(tail.size() - 13, 13, "NENALEZEN !\r\n") == 0) {
                f.firstLineMs = msSince(start);
                const auto from = tail.rfind("\r\n[", tail.size() - 3);
                if (from != std::string::npos)
                    f.firstLine = tail.substr(from + 2, tail.size() - from - 4);
            }
        }
        Sleep(1);
    }
    // The window is shown and painted after it is made; the priority line comes a second later.
    Sleep(1500);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process.get(), &counters, sizeof counters))
        f.memory = {counters.PeakWorkingSetSize / 1e6, counters.PeakPagefileUsage / 1e6};
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 10'000);
    DeleteFileW(exe.c_str());
    return f;
}

// ---- (a'), (b'), (c), (d): the view in this process ----

struct ViewFigures {
    double loadMs = -1;
    double firstLineMs = -1;
    long firstLinePaints = 0;
    Memory memory;
    double textMb = 0;
    double lineUs = -1;
    double viewLineUs = -1;
    double typedEndThenLineMs = -1;
    double typedMiddleMs = -1;
    double middleLineMs = -1;
};

double linesWithPaintUs(ovin::EventLog& log, HWND view, bool save)
{
    const auto t = Clock::now();
    for (int i = 0; i < kTimedLines; ++i) {
        if (save)
            log.AddLogLine(kLine);
        else
            log.AddLogText(std::string("[12:00:00.000] ") + kLine);
        paintNow(view);
    }
    return msSince(t) * 1000.0 / kTimedLines;
}

ViewFigures measure(const std::string& folder, bool month)
{
    ViewFigures f;
    ovin::Platform platform = ovin::createPlatform();
    ovin::EventLog log(*platform.files, *platform.clock, folder);
    auto t = Clock::now();
    log.LoadMonthFile();
    f.loadMs = msSince(t);
    f.textMb = log.text().size() / 1e6;

    Frame frame;
    ShowWindow(frame.window.get(), SW_SHOWNOACTIVATE);
    t = Clock::now();
    ovin::Win32LogView view(frame.window.get(), log, kViewId);
    MoveWindow(view.hwnd(), 0, 0, 590, 363, TRUE);
    g_viewProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(view.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&countPaints)));
    g_paints = 0;
    log.AddLogLine(kLine);
    paintNow(view.hwnd());
    f.firstLineMs = msSince(t);
    f.firstLinePaints = g_paints;
    pumpMessages();
    f.memory = peakMemory();

    f.lineUs = linesWithPaintUs(log, view.hwnd(), true);
    f.viewLineUs = linesWithPaintUs(log, view.hwnd(), false);
    if (!month)
        return f;

    // A typed character: the caret at the end of the log, as after opening it.
    t = Clock::now();
    SendMessageW(view.hwnd(), WM_CHAR, L'x', 1);
    log.AddLogLine(kLine);
    paintNow(view.hwnd());
    f.typedEndThenLineMs = msSince(t);

    const_cast<ovin::LogDocument&>(view.document())
        .setCaret(view.document().lineStart(view.document().lineCount() / 2));
    t = Clock::now();
    SendMessageW(view.hwnd(), WM_CHAR, L'x', 1);
    paintNow(view.hwnd());
    f.typedMiddleMs = msSince(t);
    t = Clock::now();
    log.AddLogLine(kLine);
    f.middleLineMs = msSince(t);
    return f;
}

std::wstring makeFolder(const wchar_t* name)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + name + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void removeFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((folder + data.cFileName).c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

int main()
{
    const std::wstring bigFolder = makeFolder(L"ovin-viewbench-big-");
    const std::wstring smallFolder = makeFolder(L"ovin-viewbench-small-");
    std::wstring bigFile;
    std::wstring smallFile;
    {
        ovin::Platform platform = ovin::createPlatform();
        bigFile = widen(ovin::EventLog(*platform.files, *platform.clock, narrow(bigFolder)).LogFileName());
        smallFile = widen(ovin::EventLog(*platform.files, *platform.clock, narrow(smallFolder)).LogFileName());
    }
    auto t = Clock::now();
    if (!writeMonthFile(bigFile, kMonthLines) || !writeMonthFile(smallFile, kSmallLines)) {
        std::printf("Cannot write the month files in %s\n", narrow(bigFolder).c_str());
        return 1;
    }
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    GetFileAttributesExW(bigFile.c_str(), GetFileExInfoStandard, &attributes);
    const double fileMb =
        (static_cast<double>(attributes.nFileSizeHigh) * 4294967296.0 + attributes.nFileSizeLow) / 1e6;
    std::printf("Windows log view on a month file of %d lines, %.1f MB (made in %.0f ms)\n", kMonthLines, fileMb,
                msSince(t));

    const StartFigures started = startRealProgram(bigFolder, bigFile);
    const ViewFigures big = measure(narrow(bigFolder), true);
    const ViewFigures small = measure(narrow(smallFolder), false);
    removeFolder(bigFolder);
    removeFolder(smallFolder);

    const double memoryTargetMb = 1.5 * big.textMb + 50;
    std::printf("\n%-58s %14s %s\n", "", "Win32LogView", "target");
    std::printf("%-58s %11.0f ms %s\n", "(a) start of ovin.exe to first timestamped line in the month file",
                started.firstLineMs, "< 2000 ms");
    std::printf("%-58s %11.0f MB <= %.0f MB\n", "(b) its peak memory (PeakWorkingSetSize), window shown",
                started.memory.peakWorkingSetMb, memoryTargetMb);
    std::printf("%-58s %11.0f MB <= %.0f MB\n", "    its peak committed memory (PeakPagefileUsage)",
                started.memory.peakPagefileMb, memoryTargetMb);
    std::printf("%-58s %11.0f ms\n", "    month file into the log (read, decoded, indexed later)", big.loadMs);
    std::printf("%-58s %11.0f ms\n", "(a') view created on the loaded log to a new line painted", big.firstLineMs);
    std::printf("%-58s %11.0f ms\n", "    load and (a') together", big.loadMs + big.firstLineMs);
    std::printf("%-58s %11.0f MB <= %.0f MB\n", "(b') this bench's peak memory (PeakWorkingSetSize), view shown",
                big.memory.peakWorkingSetMb, memoryTargetMb);
    std::printf("%-58s %11.0f MB <= %.0f MB\n", "    peak committed memory (PeakPagefileUsage)",
                big.memory.peakPagefileMb, memoryTargetMb);
    std::printf("%-58s %11.1f us\n", "(c) one AddLogLine, painted, 2.6 M lines", big.lineUs);
    std::printf("%-58s %11.1f us x%.2f\n", "    one AddLogLine, painted, 1,000 lines", small.lineUs,
                big.lineUs / small.lineUs);
    std::printf("%-58s %11.1f us\n", "    of it the view's part (no save), 2.6 M lines", big.viewLineUs);
    std::printf("%-58s %11.1f us x%.2f\n", "    of it the view's part (no save), 1,000 lines", small.viewLineUs,
                big.viewLineUs / small.viewLineUs);
    std::printf("%-58s %11.1f ms %s\n", "(d) one char typed at the end, then a logged line", big.typedEndThenLineMs,
                "< 50 ms");
    std::printf("%-58s %11.1f ms\n", "    one char typed in the middle", big.typedMiddleMs);
    std::printf("%-58s %11.1f ms\n", "    the next logged line (the month file rewritten whole)", big.middleLineMs);
    std::printf("\nText in the log: %.1f MB (UTF-8). (a') painted %ld time(s).\n", big.textMb, big.firstLinePaints);
    std::printf("(a) is timed to the line \"%s\".\n", started.firstLine.c_str());
    const bool ok = started.firstLineMs >= 0 && started.firstLineMs < 2000 && big.firstLinePaints > 0 &&
                    started.memory.peakWorkingSetMb <= memoryTargetMb && big.typedEndThenLineMs < 50;
    std::printf("%s\n", ok ? "The Windows figures are within their targets." : "A Windows figure misses its target.");
    return 0;
}
