#include "MessageBoxes.h"

#include "DialogTexts.h"
#include "Utf.h"

namespace ovin::win32 {

bool askExit(HWND mainWindow)
{
    return MessageBoxW(mainWindow, toWide(kDialogTexts.exitQuestion).c_str(),
                       toWide(kDialogTexts.exitCaption).c_str(), MB_YESNO | MB_DEFBUTTON1) != IDNO;
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

} // namespace ovin::win32
