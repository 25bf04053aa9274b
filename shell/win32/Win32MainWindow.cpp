#include "Win32MainWindow.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "controls/win32/WindowClass.h"
#include "Dpi.h"
#include "MessageBoxes.h"
#include "QuestionDialog.h"
#include "Resources.h"
#include "platform/win32/Win32Text.h"
#include "Win32LogView.h"
#include "Win32SettingsPanel.h"
#include "platform/Platform.h"
#include "shell/ApplicationTitle.h"
#include "shell/DialogAnswers.h"
#include "shell/SettingsPanelTable.h"
#include "shell/TrayEvents.h"
#include "watchdog/Watchdog.h"

namespace ovin::win32 {

namespace {

constexpr int kLogViewId = 100;
// The error report is shown from the message loop, not from inside the tick that found the error.
constexpr UINT kShowErrorReport = WM_APP + 1;

WatchdogServices servicesOf(Platform& p)
{
    return {*p.files, *p.clock,    *p.process, *p.processes,      *p.launcher,
            *p.http,  *p.commands, *p.machine, p.systemLog.get(), p.publisher.get()};
}

win32::QuestionKind kindOf(TMsgDlgType kind)
{
    switch (kind) {
    case TMsgDlgType::mtWarning:
        return win32::QuestionKind::Warning;
    case TMsgDlgType::mtError:
        return win32::QuestionKind::Error;
    case TMsgDlgType::mtInformation:
        return win32::QuestionKind::Information;
    case TMsgDlgType::mtConfirmation:
        return win32::QuestionKind::Confirmation;
    case TMsgDlgType::mtCustom:
        break;
    }
    return win32::QuestionKind::Custom;
}

constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;

// The outer rectangle whose client area is the window's own at `dpi`.
RECT outerRectFor(int dpi)
{
    const MainWindowLook& look = kMainWindowLook;
    RECT frame{0, 0, win32::scaled(look.clientSize.width, dpi), win32::scaled(look.clientSize.height, dpi)};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
    return frame;
}

HFONT windowFontFor(int dpi)
{
    const MainWindowLook& look = kMainWindowLook;
    LOGFONTW font{};
    win32::widen(look.fontName).copy(font.lfFaceName, LF_FACESIZE - 1);
    font.lfHeight = win32::fontHeightFor(look.fontPt, dpi);
    font.lfCharSet = DEFAULT_CHARSET;
    return CreateFontIndirectW(&font);
}

std::string appFolderOf(Platform& p) { return Watchdog::AppFolderOf(p.process->executablePath(), *p.files); }

}  // namespace

TfmWex::TfmWex(HINSTANCE instance, Platform& platform, const WindowContext& context)
    : m_platform(platform), m_context(context), m_instance(instance)
{
    const MainWindowLook& look = kMainWindowLook;
    win32::RegisterWindowClass({.name = kWindowClass,
                                .procedure = &TfmWex::windowProc,
                                .buttonFace = true,
                                .iconId = IDI_OVIN_WINDOW,
                                .instance = instance});

    m_dpi = win32::dpiOf(nullptr);
    RECT frame = outerRectFor(m_dpi);
    m_window = CreateWindowExW(kWindowExStyle, kWindowClass, win32::widen(look.caption).c_str(), kWindowStyle,
                               CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                               nullptr, nullptr, instance, this);
    // A window made on a monitor of its own resolution is sized for it at once.
    if (const int dpi = win32::dpiOf(m_window); dpi != m_dpi) {
        m_dpi = dpi;
        frame = outerRectFor(m_dpi);
        SetWindowPos(m_window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_font = windowFontFor(m_dpi);

    m_tray = std::make_unique<win32::TrayIcon>(
        instance, win32::LoadSharedIcon(instance, IDI_OVIN_TRAY_IDLE, SM_CXSMICON),
        std::array<int, 3>{IDI_OVIN_TRAY_IDLE, IDI_OVIN_TRAY_BUSY, IDI_OVIN_TRAY_WARNING},
        [this](int code) { onTrayEvent(code); });

    m_watchdog = std::make_unique<Watchdog>(servicesOf(platform), appFolderOf(platform), *this, m_trayTimer, m_timer1,
                                            context.logCapacity);
    m_logic = std::make_unique<MainWindow>(*m_watchdog, *platform.processes, static_cast<MainWindowFrontEnd&>(*this));
    m_logView = std::make_unique<Win32LogView>(m_window, m_watchdog->log(), kLogViewId);
    m_panel = std::make_unique<Win32SettingsPanel>(m_window, m_watchdog->conf(), context.answers, m_font, m_dpi,
                                                   [this] { m_logic->Panel1MouseUp(MouseButton::Right); });
    layout();

    // FormCreate: the title for the rest of the run, then the watchdog's own start.
    m_context.title.set(texts::kApplicationTitle);
    m_watchdog->FormCreate();
}

TfmWex::~TfmWex()
{
    FormDestroy();
    m_panel.reset();
    m_logView.reset();
    if (IsWindow(m_window)) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
    }
    if (m_font)
        DeleteObject(m_font);
}

void TfmWex::FormDestroy()
{
    // Once, whichever comes first: the end of the session or the end of the message loop.
    if (m_destroyed)
        return;
    m_destroyed = true;
    m_trayTimer.setEnabled(false);
    m_timer1.setEnabled(false);
    m_logic->FormDestroy();
    RemoveTrayIcon();
}

int TfmWex::run()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!dialogMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

bool TfmWex::dialogMessage(MSG& message)
{
    if (!message.hwnd)
        return false;
    // A tick pumps messages while a dialog of ours may be open: its keys (Esc, Enter, the letters) still go
    // through the dialog's own navigation.
    const HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (root && root != m_window) {
        wchar_t className[16]{};
        GetClassNameW(root, className, 15);
        return std::wstring_view(className) == L"#32770" && IsDialogMessageW(root, &message) != FALSE;
    }
    // Only the window's own controls navigate with Tab; the log view keeps its keys.
    if (!IsWindowVisible(m_window) || !IsChild(m_panel->hwnd(), message.hwnd))
        return false;
    return IsDialogMessageW(m_window, &message) != FALSE;
}

void TfmWex::ProcessMessages()
{
    MSG message;
    bool handled = false;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The end belongs to the outer loop: put it back for it.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        handled = handled || message.message != WM_NULL;
        if (!dialogMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // A dialog answered here ends only when its own loop looks again, and that loop waits for a message: an empty
    // one wakes it.
    if (handled)
        PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

bool TfmWex::AddTrayIcon()
{
    return m_tray && m_tray->AddTrayIcon(win32::widen(TrayTip(m_context.title.get(), m_trayNotice)));
}

void TfmWex::SetTrayImage(int index)
{
    if (m_tray)
        m_tray->SetTrayImage(index);
}

void TfmWex::SetTrayNotice(const std::string& notice)
{
    m_trayNotice = notice;
    if (m_tray)
        m_tray->SetTip(win32::widen(TrayTip(m_context.title.get(), m_trayNotice)));
}

void TfmWex::RemoveTrayIcon()
{
    if (m_tray)
        m_tray->RemoveTrayIcon();
}

void TfmWex::setActivity(bool busy) { m_panel->setActivity(busy); }

void TfmWex::ShowSettings() { m_panel->ShowSettings(); }

// The field, not the record: a wait typed into it counts from the next launch on, before "ULOŽIT".
int TfmWex::routerWaitSeconds() { return m_panel->routerWait(); }

void TfmWex::reportError(const std::string& text) { m_logic->reportError(text); }

void TfmWex::showErrorReport(const std::string& text)
{
    m_pendingError = text;
    PostMessageW(m_window, kShowErrorReport, 0, 0);
}

// The window goes right after this: the box has no owner, and the program has no console to fall back on.
void TfmWex::showFinalErrorReport(const std::string& text)
{
    MessageBoxW(nullptr, win32::widen(text).c_str(), win32::widen(m_context.title.get()).c_str(),
                MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
}

void TfmWex::ShowForm()
{
    if (!m_placed) {
        // Centred the first time only: later the window comes back where the user left it.
        m_placed = true;
        RECT r;
        GetWindowRect(m_window, &r);
        const int w = r.right - r.left, h = r.bottom - r.top;
        SetWindowPos(m_window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                     (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(m_window, SW_SHOW);
    SetForegroundWindow(m_window);
}

void TfmWex::restoreWindow()
{
    if (IsIconic(m_window))
        ShowWindow(m_window, SW_RESTORE);
}

bool TfmWex::Confirm(const std::string& text, TMsgDlgType kind)
{
    if (const std::optional<bool> queued = TakeQueuedQuestion(m_context.answers))
        return *queued;
    return win32::askQuestion(IsWindowVisible(m_window) ? m_window : nullptr, win32::widen(question::kConfirmCaption),
                              win32::widen(text), kindOf(kind),
                              [this] { return IsDebugMode(m_context.switches, *m_platform.files); });
}

bool TfmWex::askYesNo(const std::string& caption, const std::string& text)
{
    if (const std::optional<bool> queued = TakeQueuedQuestion(m_context.answers))
        return *queued;
    return win32::askYesNo(m_window, win32::widen(caption), win32::widen(text));
}

void TfmWex::onTrayEvent(int eventCode)
{
    switch (TrayIconMessage(eventCode)) {
    case TrayAction::ShowForm:
        ShowForm();
        break;
    case TrayAction::OpenMenu: {
        // The command runs once the menu has closed: track returns only then.
        if (const std::optional<MenuCommand> chosen = m_menu.track(m_window))
            m_logic->RunMenuCommand(*chosen);
        break;
    }
    case TrayAction::RemoveForGood:
        m_tray->DeleteIcon();
        break;
    case TrayAction::Nothing:
        break;
    }
}

void TfmWex::layout()
{
    if (!m_panel || !m_logView)
        return;
    RECT client;
    GetClientRect(m_window, &client);
    const int panelHeight = win32::scaled(kPanelHeightPx, m_dpi);
    const int logHeight = std::max<int>(0, client.bottom - panelHeight);
    MoveWindow(m_logView->hwnd(), 0, 0, client.right, logHeight, TRUE);
    MoveWindow(m_panel->hwnd(), 0, logHeight, client.right, panelHeight, TRUE);
}

void TfmWex::changeDpi(int dpi, const RECT& suggested)
{
    // The controls are told first and the window is sized last: its WM_SIZE lays them out at the new resolution.
    m_dpi = dpi;
    const HFONT old = m_font;
    m_font = windowFontFor(m_dpi);
    if (m_panel)
        m_panel->setDpi(m_dpi, m_font);
    if (m_logView)
        m_logView->setDpi(m_dpi);
    if (old)
        DeleteObject(old);
    SetWindowPos(m_window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    layout();
}

LRESULT CALLBACK TfmWex::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TfmWex*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TfmWex*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self)
        return self->handle(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT TfmWex::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:
    case WM_SETFOCUS:
        if (m_keptFocus.handle(m_window, message, wParam))
            return 0;
        break;
    case WM_SIZE:
        layout();
        return 0;
    case WM_DPICHANGED:
        changeDpi(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_SETFONT:
        return 0;
    case WM_CLOSE:
        // The close box only hides the window; the end of the session closes it for good.
        m_logic->FormCloseQuery();
        return 0;
    case WM_QUERYENDSESSION:
        m_logic->ShutdownQuery();
        return TRUE;
    case WM_ENDSESSION:
        // The system may end the process as soon as this returns: the settings are written now.
        if (wParam)
            FormDestroy();
        return 0;
    case WM_COPYDATA: {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const char* bytes = static_cast<const char*>(data->lpData);
        const std::string text = bytes ? std::string(bytes, strnlen(bytes, data->cbData)) : std::string();
        m_logic->CopyDataReceived(text);
        return static_cast<LRESULT>(text.size());
    }
    case WM_MEASUREITEM:
        if (wParam == 0 && m_menu.measureItem(m_window, *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)))
            return TRUE;
        break;
    case WM_DRAWITEM:
        if (wParam == 0 && m_menu.drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
            return TRUE;
        break;
    case kShowErrorReport: {
        const std::string text = std::move(m_pendingError);
        MessageBoxW(IsWindowVisible(m_window) ? m_window : nullptr, win32::widen(text).c_str(),
                    win32::widen(m_context.title.get()).c_str(), MB_OK | MB_ICONERROR);
        m_logic->errorReportClosed();
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

}  // namespace ovin::win32
