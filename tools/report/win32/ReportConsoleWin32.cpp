#include "tools/report/ReportConsole.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>

#include "platform/win32/Win32Text.h"

namespace ovin::report {

namespace {

// A console window takes wide text whatever its code page; anything else
// (a file, a pipe) gets the bytes as they are.
void write(DWORD which, FILE* stream, std::string_view text)
{
    const HANDLE h = ::GetStdHandle(which);
    DWORD mode = 0;
    if (h != INVALID_HANDLE_VALUE && h != nullptr && ::GetConsoleMode(h, &mode)) {
        std::fflush(stream);
        const std::wstring wide = win32::widen(text);
        DWORD written = 0;
        ::WriteConsoleW(h, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace

// The arguments as the system holds them, in wide text: the narrow ones
// would have lost every letter outside the code page.
std::vector<std::string> programArguments(int, char**)
{
    std::vector<std::string> args;
    int count = 0;
    if (LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i)
            args.push_back(win32::narrow(argv[i]));
        ::LocalFree(argv);
    }
    return args;
}

void StdConsole::out(std::string_view text) { write(STD_OUTPUT_HANDLE, stdout, text); }

void StdConsole::err(std::string_view text) { write(STD_ERROR_HANDLE, stderr, text); }

}  // namespace ovin::report
