// Plays the shell's part towards a running program's notification icon, for the tests:
//
//     tray_poke --event CODE       sends the icon's callback message with that event code, as the shell would
//                                  (1027, the balloon-hidden notice, is one Wine never sends by itself)
//     tray_poke --take-away        takes the icon out of the notification area, as a crashing Explorer does
//     tray_poke --taskbar-created  tells every window that the taskbar was created anew, as a restarted
//                                  Explorer does
//
// The icon is found by its callback window's class. Exit status 1 when no icon window exists.

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

constexpr wchar_t kCallbackClass[] = L"OvinTrayCallback";
constexpr UINT kCallbackMessage = WM_USER + 1;

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const HWND callback = FindWindowW(kCallbackClass, nullptr);
    if (!callback) {
        std::fprintf(stderr, "tray_poke: no notification icon window\n");
        return 1;
    }
    const std::wstring what = argc > 1 ? argv[1] : L"";
    if (what == L"--event" && argc > 2) {
        // Posted, not sent: the program may open its menu in the handler and not return until it closes.
        return PostMessageW(callback, kCallbackMessage, 0, _wtoi(argv[2])) ? 0 : 1;
    }
    if (what == L"--take-away") {
        // The shell knows an icon by its window and identifier alone, so any process may take it away.
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof(data);
        data.hWnd = callback;
        data.uID = 0;
        return Shell_NotifyIconW(NIM_DELETE, &data) ? 0 : 1;
    }
    if (what == L"--taskbar-created") {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0, SMTO_NORMAL, 5000,
                            &ignored);
        return 0;
    }
    std::fprintf(stderr, "usage: tray_poke --event CODE | --take-away | --taskbar-created\n");
    return 2;
}
