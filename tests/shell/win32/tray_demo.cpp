// A small Windows program that puts the front end's notification icon, its drawn menu and its dialogs on the
// screen, for tests that drive them under Wine with a tray host, xdotool and screenshots:
//
//     tray_demo --log FILE [--ticks] [--debug]     the icon; right click: the menu; left click: a window
//     tray_demo --log FILE --question [--debug]    only the question "Dotaz:", then ends
//     tray_demo --log FILE --exit-box              only the message box of "Konec", then ends
//     tray_demo --log FILE --error                 two error reports at once (the second is dropped)
//
// Everything that happens is written to FILE, one line each, for the tests to wait for and compare.

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "controls/win32/WindowClass.h"
#include "shell/win32/MessageBoxes.h"
#include "shell/win32/PopupMenu.h"
#include "shell/win32/QuestionDialog.h"
#include "shell/win32/Resources.h"
#include "shell/TrayEvents.h"
#include "shell/win32/TrayIcon.h"
#include "platform/win32/Win32Text.h"
#include "settings/Texts.h"

using namespace ovin::win32;
using ovin::MenuCommand;
using ovin::TrayAction;

namespace {

constexpr wchar_t kWindowClass[] = L"OvinTrayDemo";
constexpr UINT_PTR kTrayTimerId = 1;
constexpr UINT_PTR kTickTimerId = 2;
constexpr UINT kTrayTimerMs = 1000;
constexpr UINT kTickTimerMs = 1000;

struct Demo {
    std::ofstream log;
    bool debug = false;
    bool ticks = false;
    HWND window = nullptr;
    std::unique_ptr<TrayIcon> tray;
    PopupMenu menu;
    int image = 0;

    void write(const std::string& line)
    {
        log << line << '\n';
        log.flush();
    }
};

Demo* demo = nullptr;

bool ask()
{
    return askQuestion(demo->window, widen(ovin::texts::kConfirmCaption), widen(ovin::texts::kStopAllQuestion),
                       QuestionKind::Warning, [] { return demo->debug; });
}

void showForm()
{
    ShowWindow(demo->window, SW_SHOW);
    SetForegroundWindow(demo->window);
    demo->write("shown");
}

void runCommand(std::optional<MenuCommand> chosen)
{
    if (!chosen) {
        demo->write("command None");
        return;
    }
    switch (*chosen) {
    case MenuCommand::Open1:
        demo->write("command Open1");
        showForm();
        break;
    case MenuCommand::UkonitTrovaniOvin1: {
        demo->write("command UkonitTrovaniOvin1");
        const bool yes = ask();
        demo->write(yes ? "answer yes" : "answer no");
        if (yes)
            PostQuitMessage(0);
        break;
    }
    case MenuCommand::Exit1: {
        demo->write("command Exit1");
        const bool quit = askYesNo(demo->window, widen(ovin::texts::kExitCaption), widen(ovin::texts::kExitQuestion));
        demo->write(quit ? "exit yes" : "exit no");
        if (quit)
            PostQuitMessage(0);
        break;
    }
    }
}

void onTrayEvent(int code)
{
    switch (ovin::TrayIconMessage(code)) {
    case TrayAction::ShowForm:
        demo->write("event " + std::to_string(code));
        showForm();
        break;
    case TrayAction::OpenMenu:
        demo->write("event " + std::to_string(code));
        runCommand(demo->menu.track(demo->window));
        break;
    case TrayAction::RemoveForGood:
        demo->write("event " + std::to_string(code));
        demo->tray->DeleteIcon();
        break;
    case TrayAction::Nothing:
        break;
    }
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MEASUREITEM:
        if (demo->menu.measureItem(window, *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)))
            return TRUE;
        break;
    case WM_DRAWITEM:
        if (demo->menu.drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
            return TRUE;
        break;
    case WM_TIMER:
        if (wParam == kTrayTimerId && demo->tray->AddTrayIcon(widen(ovin::texts::kApplicationTitle))) {
            KillTimer(window, kTrayTimerId);
            demo->write("added");
            if (demo->ticks)
                SetTimer(window, kTickTimerId, kTickTimerMs, nullptr);
        } else if (wParam == kTickTimerId) {
            demo->image = 1 - demo->image;
            demo->tray->SetTrayImage(demo->image);
        }
        return 0;
    case WM_CLOSE:
        ShowWindow(window, SW_HIDE);
        demo->write("hidden");
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::filesystem::path logPath;
    bool question = false, exitBox = false, error = false;
    Demo state;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--log" && i + 1 < argc)
            logPath = argv[++i];
        else if (arg == L"--question")
            question = true;
        else if (arg == L"--exit-box")
            exitBox = true;
        else if (arg == L"--error")
            error = true;
        else if (arg == L"--debug")
            state.debug = true;
        else if (arg == L"--ticks")
            state.ticks = true;
    }
    if (logPath.empty())
        return 2;
    state.log.open(logPath, std::ios::app | std::ios::binary);
    demo = &state;

    const HINSTANCE instance = GetModuleHandleW(nullptr);
    ovin::win32::RegisterWindowClass({.name = kWindowClass,
                                      .procedure = &windowProc,
                                      .buttonFace = true,
                                      .iconId = IDI_OVIN_WINDOW,
                                      .instance = instance});
    state.window = CreateWindowExW(0, kWindowClass, L"Ovin tray demo", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                   CW_USEDEFAULT, 300, 200, nullptr, nullptr, instance, nullptr);
    if (!state.window)
        return 1;

    if (question) {
        state.write(ask() ? "answer yes" : "answer no");
        return 0;
    }
    if (exitBox) {
        state.write(askYesNo(state.window, widen(ovin::texts::kExitCaption), widen(ovin::texts::kExitQuestion))
                        ? "exit yes"
                        : "exit no");
        return 0;
    }
    if (error) {
        // The second report comes while the first is open, as a tick's would.
        SetTimer(state.window, kTickTimerId, 500, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(demo->window, id);
            demo->write(reportError(demo->window, L"Druhá chyba", widen(ovin::texts::kApplicationTitle))
                            ? "second shown"
                            : "second dropped");
        });
        state.write(reportError(state.window, L"Soubor nelze zapsat", widen(ovin::texts::kApplicationTitle))
                        ? "first closed"
                        : "first dropped");
        return 0;
    }

    state.tray =
        std::make_unique<TrayIcon>(instance, ovin::win32::LoadSharedIcon(instance, IDI_OVIN_WINDOW, SM_CXSMICON),
                                   std::array<int, 3>{IDI_OVIN_TRAY_IDLE, IDI_OVIN_TRAY_BUSY, IDI_OVIN_TRAY_WARNING}, &onTrayEvent);
    SetTimer(state.window, kTrayTimerId, kTrayTimerMs, nullptr);
    state.write("started");

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    state.tray->RemoveTrayIcon();
    state.write("removed");
    DestroyWindow(state.window);
    return 0;
}
