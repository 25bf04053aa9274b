#pragma once

#include <windows.h>

#include <string>

namespace ovin::win32 {

/// A plain message box owned by the window (the question of "Konec"), Yes (the default) and No, no icon. True
/// unless the answer was No.
bool askYesNo(HWND owner, const std::wstring& caption, const std::wstring& text);

/// The report of an error that no handler caught: the error's text, the application's title as caption and the
/// error icon. Errors can come once a second from the watch cycle while a report waits for its OK, so a report
/// that comes while another is open is dropped (false) instead of stacking up boxes.
bool reportError(HWND owner, const std::wstring& text, const std::wstring& applicationTitle);

}  // namespace ovin::win32
