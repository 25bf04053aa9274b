#pragma once

#include <windows.h>

#include <string>

namespace ovin::win32 {

/// A window's whole text (a control's caption or contents), however long.
inline std::wstring windowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

}  // namespace ovin::win32
