// A small Windows program that shows the log view in a window of its own, for pictures under Wine: a few hundred
// lines of log, the find bar open on "velikost" with its matches highlighted, the last match found and the
// selection stretched over two more lines by Shift+Down. It ends after the given seconds (30 by default).
//
//     log_view_demo [SECONDS]

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "controls/win32/WindowClass.h"
#include "platform/Platform.h"
#include "settings/EventLog.h"
#include "platform/win32/Win32Text.h"
#include "shell/win32/Win32FindBar.h"
#include "shell/win32/Win32LogView.h"

namespace {

constexpr wchar_t kWindowClass[] = L"OvinLogViewDemo";
constexpr int kViewId = 1;
constexpr UINT_PTR kEndTimer = 1;

ovin::Win32LogView* g_view = nullptr;

LRESULT CALLBACK frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        if (g_view)
            MoveWindow(g_view->hwnd(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_TIMER:
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void keyWithShift(HWND window, UINT key)
{
    BYTE state[256] = {};
    state[VK_SHIFT] = 0x80;
    SetKeyboardState(state);
    SendMessageW(window, WM_KEYDOWN, key, 1);
    BYTE none[256] = {};
    SetKeyboardState(none);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    const int seconds = commandLine && *commandLine ? _wtoi(commandLine) : 30;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    ovin::Platform platform = ovin::createPlatform();
    ovin::EventLog log(*platform.files, *platform.clock, ovin::win32::narrow(temp));
    log.AddStartHeader();
    char line[160];
    for (int i = 0; i < 300; ++i) {
        const int t = 8 * 3600 + i;
        if (i % 2 == 0)
            std::snprintf(line, sizeof line,
                          "[%02d:%02d:%02d.%03d] Soubor C:\\Trovan\\request.cfg datum: 07.12.2026 velikost: %d",
                          t / 3600, t / 60 % 60, t % 60, (i * 37) % 1000, 10000 + i);
        else
            std::snprintf(line, sizeof line, "[%02d:%02d:%02d.%03d] Nastavena priorita: Normální", t / 3600,
                          t / 60 % 60, t % 60, (i * 37) % 1000);
        log.AddLogText(line);
    }
    log.AddLogText("[08:05:00.000] Trovan neni spusten - pokusim se ho spustit");

    ovin::win32::RegisterWindowClass({.name = kWindowClass, .procedure = frameProc, .buttonFace = true});
    RECT r{0, 0, 590, 363};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    HWND frame = CreateWindowExW(0, kWindowClass, L"Memo1", WS_OVERLAPPEDWINDOW, 20, 20, r.right - r.left,
                                 r.bottom - r.top, nullptr, nullptr, instance, nullptr);
    auto view = std::make_unique<ovin::Win32LogView>(frame, log, kViewId);
    g_view = view.get();
    GetClientRect(frame, &r);
    MoveWindow(view->hwnd(), 0, 0, r.right, r.bottom, TRUE);
    ShowWindow(frame, SW_SHOW);
    UpdateWindow(frame);

    // The find bar as a user opens it (Ctrl+F), looking backward from the end for "velikost".
    view->openFindBar();
    HWND bar = FindWindowExW(view->hwnd(), nullptr, L"OvinFindBar", nullptr);
    HWND edit = GetDlgItem(bar, ovin::win32::Win32FindBar::kNeedleId);
    SetWindowTextW(edit, L"velikost");
    keyWithShift(edit, VK_RETURN);
    keyWithShift(view->hwnd(), VK_DOWN);
    keyWithShift(view->hwnd(), VK_DOWN);
    SetFocus(view->hwnd());

    SetTimer(frame, kEndTimer, static_cast<UINT>(seconds) * 1000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    g_view = nullptr;
    return 0;
}
