#include "Dpi.h"

#include "WindowDC.h"

namespace ovin::win32 {

int dpiOf(HWND window)
{
    // GetDpiForWindow exists from Windows 10 1607 on; older systems give one value for the whole screen.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window))
            return static_cast<int>(dpi);
    }
    const WindowDC screen(nullptr);
    return screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : kDefaultDpi;
}

}  // namespace ovin::win32
