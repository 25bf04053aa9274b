#include "MessageBoxes.h"

#include "platform/win32/Win32Text.h"

namespace ovin::win32 {

bool askYesNo(HWND owner, const std::wstring& caption, const std::wstring& text)
{
    return MessageBoxW(owner, text.c_str(), caption.c_str(), MB_YESNO | MB_DEFBUTTON1) != IDNO;
}

bool reportError(HWND owner, const std::wstring& text, const std::wstring& applicationTitle)
{
    static bool open = false;
    if (open)
        return false;
    open = true;
    MessageBoxW(owner, text.c_str(), applicationTitle.c_str(), MB_OK | MB_ICONERROR);
    open = false;
    return true;
}

}  // namespace ovin::win32
