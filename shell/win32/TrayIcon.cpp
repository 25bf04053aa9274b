#include "TrayIcon.h"

#include <algorithm>

#include "controls/win32/WindowClass.h"
#include "shell/TrayEvents.h"

namespace ovin::win32 {

namespace {

constexpr wchar_t kCallbackClass[] = L"OvinTrayCallback";
constexpr UINT_PTR kReaddTimerId = 1;
constexpr UINT kReaddPeriodMs = 1000;
constexpr size_t kTipMaxChars = kTrayTipMaxChars;

}  // namespace

TrayIcon::TrayIcon(HINSTANCE instance, HICON mainIcon, std::array<int, 3> imageIds, EventHandler onEvent)
    : m_instance(instance),
      m_mainIcon(mainIcon),
      m_imageIds(imageIds),
      m_onEvent(std::move(onEvent)),
      m_taskbarCreated(RegisterWindowMessageW(L"TaskbarCreated"))
{
}

TrayIcon::~TrayIcon() { RemoveTrayIcon(); }

bool TrayIcon::createWindow()
{
    if (m_window)
        return true;
    RegisterWindowClass(
        {.name = kCallbackClass, .procedure = &TrayIcon::windowProc, .cursor = nullptr, .instance = m_instance});
    // A hidden top-level window rather than a message-only one: only top-level windows hear the broadcast that a
    // new shell has started.
    m_window.reset(CreateWindowExW(WS_EX_TOOLWINDOW, kCallbackClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   m_instance, this));
    return bool(m_window);
}

bool TrayIcon::AddTrayIcon(const std::wstring& tip)
{
    if (m_shown)
        return true;
    if (m_deletedForGood || !createWindow())
        return false;
    m_data = NOTIFYICONDATAW{};
    m_data.cbSize = sizeof(m_data);
    m_data.hWnd = m_window.get();
    m_data.uID = 0;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_data.uCallbackMessage = kTrayCallbackMessage;
    m_data.hIcon = m_mainIcon;
    copyTip(tip);
    m_shown = Shell_NotifyIconW(NIM_ADD, &m_data) != FALSE;
    return m_shown;
}

void TrayIcon::copyTip(const std::wstring& tip)
{
    const size_t chars = std::min(tip.size(), kTipMaxChars);
    std::copy_n(tip.begin(), chars, m_data.szTip);
    m_data.szTip[chars] = L'\0';
}

void TrayIcon::SetTip(const std::wstring& tip)
{
    copyTip(tip);
    if (!m_shown)
        return;
    m_data.uFlags = NIF_TIP;
    Shell_NotifyIconW(NIM_MODIFY, &m_data);
}

void TrayIcon::SetTrayImage(int index)
{
    if (!m_shown || index < 0 || index >= static_cast<int>(m_imageIds.size()))
        return;
    const int sizePx = GetSystemMetrics(SM_CXSMICON);
    const IconHandle icon(static_cast<HICON>(LoadImageW(
        m_instance, MAKEINTRESOURCEW(m_imageIds[static_cast<size_t>(index)]), IMAGE_ICON, sizePx, sizePx, 0)));
    if (!icon)
        return;
    m_data.hIcon = icon.get();
    m_data.uFlags = NIF_ICON;
    Shell_NotifyIconW(NIM_MODIFY, &m_data);
    // The shell keeps its own copy; the record must not go on pointing at the icon destroyed below.
    m_data.hIcon = m_mainIcon;
}

void TrayIcon::DeleteIcon()
{
    if (m_window)
        KillTimer(m_window.get(), kReaddTimerId);
    if (m_shown)
        Shell_NotifyIconW(NIM_DELETE, &m_data);
    m_shown = false;
    m_deletedForGood = true;
}

void TrayIcon::RemoveTrayIcon()
{
    if (!m_window)
        return;
    KillTimer(m_window.get(), kReaddTimerId);
    m_window.reset();
    if (m_shown)
        Shell_NotifyIconW(NIM_DELETE, &m_data);
    m_shown = false;
}

void TrayIcon::readdAfterShellRestart()
{
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_data.hIcon = m_mainIcon;
    // A shell that still holds the icon (the broadcast also comes when only the taskbar was rebuilt) refuses to
    // add it again but accepts a change of it; either way the icon is there and the retries stop.
    if (Shell_NotifyIconW(NIM_ADD, &m_data) || Shell_NotifyIconW(NIM_MODIFY, &m_data))
        KillTimer(m_window.get(), kReaddTimerId);
    else
        SetTimer(m_window.get(), kReaddTimerId, kReaddPeriodMs, nullptr);
}

LRESULT TrayIcon::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kTrayCallbackMessage) {
        if (m_onEvent)
            m_onEvent(static_cast<int>(lParam));
        return 0;
    }
    if (message == m_taskbarCreated && m_taskbarCreated != 0) {
        if (m_shown)
            readdAfterShellRestart();
        return 0;
    }
    if (message == WM_TIMER && wParam == kReaddTimerId) {
        readdAfterShellRestart();
        return 0;
    }
    return DefWindowProcW(m_window.get(), message, wParam, lParam);
}

LRESULT CALLBACK TrayIcon::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TrayIcon*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // Messages of creation and destruction arrive while m_window does not (yet, or any more) hold the window.
    if (!self || self->m_window.get() != window)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

}  // namespace ovin::win32
