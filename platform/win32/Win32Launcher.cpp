#include "Win32Launcher.h"

#include <windows.h>

#include <shellapi.h>

#include "Win32Text.h"

namespace ovin {

namespace {

// ShellExecuteW answers a number above this one on success.
constexpr INT_PTR kShellSuccessAbove = 32;

}  // namespace

Result Win32Launcher::open(const std::string& executable, const std::string& workingFolder)
{
    const std::wstring file = win32::widen(executable);
    const std::wstring folder = win32::widen(workingFolder);
    ::SetLastError(ERROR_SUCCESS);
    const auto answer = reinterpret_cast<INT_PTR>(::ShellExecuteW(
        nullptr, L"open", file.c_str(), nullptr, folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL));
    if (answer > kShellSuccessAbove)
        return {};
    // The shell's own small codes share their numbers with the system's
    // errors where they mean the same (file or path not found, access
    // denied, out of memory, a bad executable); the last error is the more
    // exact where the shell set one.
    const DWORD last = ::GetLastError();
    return Result::failure(win32::systemText(last != ERROR_SUCCESS ? last : static_cast<DWORD>(answer)));
}

}  // namespace ovin
