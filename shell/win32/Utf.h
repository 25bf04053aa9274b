#pragma once

#include <string>
#include <string_view>

namespace ovin::win32 {

/// Texts are UTF-8 inside the program and UTF-16 at every wide-character Win32 call; invalid sequences become
/// U+FFFD rather than an error, since a caption is never worth a failure.
std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);

}  // namespace ovin::win32
