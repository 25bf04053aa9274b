#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace ovin::win32 {

/// Puts UTF-8 text on the clipboard as CF_UNICODETEXT, converted straight into the clipboard's own memory so that
/// a large selection is not held twice more; false when the clipboard is busy or memory runs out.
bool setClipboardText(HWND owner, std::string_view utf8);

/// The clipboard's text as UTF-8; none when it holds no text or cannot be opened.
std::optional<std::string> clipboardText(HWND owner);

}  // namespace ovin::win32
