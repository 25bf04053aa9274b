#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace ovin::win32 {

/// UTF-8, the program's own text, as the wide text of the system's calls.
std::wstring widen(std::string_view utf8);

/// The system's wide text as UTF-8.
std::string narrow(std::wstring_view wide);

/// The system's own text for an error code, without the line break the
/// system ends it with.
std::string systemText(DWORD error);

/// The system's text for the calling thread's last error.
std::string lastErrorText();

}  // namespace ovin::win32
