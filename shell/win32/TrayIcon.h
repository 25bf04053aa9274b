#pragma once

#include <windows.h>
#include <shellapi.h>

#include <array>
#include <functional>
#include <string>

#include "UniqueHandle.h"

namespace ovin::win32 {

/// The program's icon in the notification area.
///
/// It owns the hidden callback window that the shell reports mouse events to and hands every event code, unread,
/// to its owner: what a code means is decided by the shared TrayIconMessage, not here. When Explorer restarts (the
/// registered message "TaskbarCreated") an icon that was shown is added again, retried every second until the new shell
/// takes it. The message the shell sends to the callback window (WM_USER + 1).
constexpr unsigned kTrayCallbackMessage = 1025;

class TrayIcon final {
public:
    using EventHandler = std::function<void(int eventCode)>;

    /// mainIcon is the icon the shell first shows (not owned); imageIds are the resource ids of image 0 (idle),
    /// image 1 (busy) and image 2 (warning).
    TrayIcon(HINSTANCE instance, HICON mainIcon, std::array<int, 3> imageIds, EventHandler onEvent);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    /// Asks the shell to add the icon with the tip (at most 127 characters are kept). True when the shell took
    /// it (or had it already); the caller tries again a second later otherwise.
    bool AddTrayIcon(const std::wstring& tip);
    /// Shows image 0, 1 or 2; does nothing visible before the icon was added or after it was deleted.
    void SetTrayImage(int index);
    /// Changes the tip (at most 127 characters are kept); an icon not yet added takes it when it is.
    void SetTip(const std::wstring& tip);
    /// Takes the icon away and destroys the callback window; does nothing when there is no icon.
    void RemoveTrayIcon();
    /// Takes the icon away for good but keeps the callback window (the shell's balloon-hidden notice).
    void DeleteIcon();

    bool isShown() const { return m_shown; }
    /// The callback window, so tests and the owner can find it.
    HWND callbackWindow() const { return m_window.get(); }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool createWindow();
    void readdAfterShellRestart();
    void copyTip(const std::wstring& tip);

    HINSTANCE m_instance;
    HICON m_mainIcon;
    std::array<int, 3> m_imageIds;
    EventHandler m_onEvent;
    WindowHandle m_window;
    NOTIFYICONDATAW m_data{};
    bool m_shown = false;
    bool m_deletedForGood = false;
    UINT m_taskbarCreated = 0;
};

}  // namespace ovin::win32
