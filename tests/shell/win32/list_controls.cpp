// Lists a running window's child controls as lines that tests compare:
//
//     list_controls [--class NAME] [--title TEXT] [--wait SECONDS]
//
// finds the first visible top-level window of that class and/or title (waiting up to SECONDS for it to appear, 10 by
// default) and prints, in UTF-8:
//
//     window|<class>|<text>|client=<w>x<h>|outer=<left>,<top>,<w>x<h>|style=0x...|exstyle=0x...
//     control|<id>|<class>|<text>|<x>,<y>,<w>x<h>|style=0x...|exstyle=0x...|parent=<id of the parent, 0 for the window>
//     ...
//     tab|<id>|<text>
//     ...
//
// controls in the order the system lists them (creation order, parents before their children), positions in the
// parent's client coordinates, and the tab chain as Tab walks it from the first control that takes the focus.
// Exit status 1 when no such window appeared.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/Win32Text.h"

using ovin::win32::narrow;

namespace {

std::wstring classOf(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

// WM_GETTEXT is marshalled between processes, so an edit's text is read too, not only a caption; a window that
// does not answer within a second is listed with an empty text rather than holding the test up.
std::wstring textOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 1000, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 1000,
                        &copied);
    text.resize(copied);
    // One control per line: a multi-line text keeps its breaks as visible escapes.
    std::wstring escaped;
    for (const wchar_t c : text) {
        if (c == L'\r')
            escaped += L"\\r";
        else if (c == L'\n')
            escaped += L"\\n";
        else if (c == L'|')
            escaped += L"\\|";
        else
            escaped += c;
    }
    return escaped;
}

int idOf(HWND window) { return static_cast<int>(GetWindowLongPtrW(window, GWLP_ID)); }

void printLine(const std::wstring& line)
{
    const std::string utf8 = narrow(line) + "\n";
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

std::wstring hex(LONG_PTR value)
{
    wchar_t buffer[32];
    swprintf(buffer, 32, L"0x%08lx", static_cast<unsigned long>(value));
    return buffer;
}

struct Wanted {
    const wchar_t* windowClass;
    const wchar_t* title;
    HWND found;
};

// FindWindowW would also return a hidden window of the same class (a tooltip that is not showing, say); only a
// visible one is what the user sees.
BOOL CALLBACK findVisible(HWND window, LPARAM wanted)
{
    auto& w = *reinterpret_cast<Wanted*>(wanted);
    if (!IsWindowVisible(window))
        return TRUE;
    if (w.windowClass && classOf(window) != w.windowClass)
        return TRUE;
    if (w.title && textOf(window) != w.title)
        return TRUE;
    w.found = window;
    return FALSE;
}

BOOL CALLBACK collect(HWND child, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const wchar_t* windowClass = nullptr;
    const wchar_t* title = nullptr;
    int waitSeconds = 10;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring arg = argv[i];
        if (arg == L"--class")
            windowClass = argv[i + 1];
        else if (arg == L"--title")
            title = argv[i + 1];
        else if (arg == L"--wait")
            waitSeconds = _wtoi(argv[i + 1]);
    }
    if (!windowClass && !title) {
        std::fprintf(stderr, "usage: list_controls [--class NAME] [--title TEXT] [--wait SECONDS]\n");
        return 2;
    }

    HWND window = nullptr;
    for (int tries = 0; tries <= waitSeconds * 10; ++tries) {
        Wanted wanted{windowClass, title, nullptr};
        EnumWindows(&findVisible, reinterpret_cast<LPARAM>(&wanted));
        window = wanted.found;
        if (window)
            break;
        Sleep(100);
    }
    if (!window) {
        std::fprintf(stderr, "list_controls: no such window\n");
        return 1;
    }

    RECT client{}, outer{};
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    printLine(L"window|" + classOf(window) + L"|" + textOf(window) + L"|client=" + std::to_wstring(client.right) +
              L"x" + std::to_wstring(client.bottom) + L"|outer=" + std::to_wstring(outer.left) + L"," +
              std::to_wstring(outer.top) + L"," + std::to_wstring(outer.right - outer.left) + L"x" +
              std::to_wstring(outer.bottom - outer.top) + L"|style=" + hex(GetWindowLongPtrW(window, GWL_STYLE)) +
              L"|exstyle=" + hex(GetWindowLongPtrW(window, GWL_EXSTYLE)));

    std::vector<HWND> controls;
    EnumChildWindows(window, &collect, reinterpret_cast<LPARAM>(&controls));
    for (const HWND control : controls) {
        const HWND parent = GetParent(control);
        RECT r{};
        GetWindowRect(control, &r);
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
        printLine(L"control|" + std::to_wstring(idOf(control)) + L"|" + classOf(control) + L"|" + textOf(control) +
                  L"|" + std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," +
                  std::to_wstring(r.right - r.left) + L"x" + std::to_wstring(r.bottom - r.top) + L"|style=" +
                  hex(GetWindowLongPtrW(control, GWL_STYLE)) + L"|exstyle=" +
                  hex(GetWindowLongPtrW(control, GWL_EXSTYLE)) + L"|parent=" +
                  std::to_wstring(parent == window ? 0 : idOf(parent)));
    }

    // The chain ends where it started; the bound keeps a broken chain from looping.
    const HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
    HWND current = first;
    for (size_t step = 0; current && step <= controls.size(); ++step) {
        printLine(L"tab|" + std::to_wstring(idOf(current)) + L"|" + textOf(current));
        current = GetNextDlgTabItem(window, current, FALSE);
        if (current == first)
            break;
    }
    return 0;
}
