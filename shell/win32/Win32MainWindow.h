#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "PopupMenu.h"
#include "TrayIcon.h"
#include "controls/win32/KeptFocus.h"
#include "controls/win32/Win32WatchTimer.h"
#include "shell/MainWindow.h"
#include "shell/MainWindowFrontEnd.h"
#include "shell/WindowContext.h"
#include "watchdog/WatchdogHost.h"

namespace ovin {

struct Platform;
class Watchdog;
class Win32LogView;
class Win32SettingsPanel;

namespace win32 {

/// The main window (`fmWex`, window class "TfmWex"): the Event log above the settings panel. It owns the watchdog
/// for the program's whole run and is usually hidden. What it does is decided by `MainWindow`; this class paints
/// and translates the system's messages.
class TfmWex final : public WatchdogHost, private MainWindowFrontEnd {
public:
    static constexpr const wchar_t* kWindowClass = L"TfmWex";

    TfmWex(HINSTANCE instance, Platform& platform, const WindowContext& context);
    ~TfmWex() override;
    TfmWex(const TfmWex&) = delete;
    TfmWex& operator=(const TfmWex&) = delete;

    HWND hwnd() const { return m_window; }

    /// Runs the message loop until the program is asked to end.
    int run();

    // WatchdogHost
    void ProcessMessages() override;
    bool AddTrayIcon() override;
    void SetTrayImage(int index) override;
    void SetTrayNotice(const std::string& notice) override;
    void setActivity(bool busy) override;
    void ShowSettings() override;
    int routerWaitSeconds() override;
    void reportError(const std::string& text) override;

    // MainWindowFrontEnd
    void ShowForm() override;
    void RemoveTrayIcon() override;

private:
    void restoreWindow() override;
    void hideWindow() override { ShowWindow(m_window, SW_HIDE); }
    bool Confirm(const std::string& text, TMsgDlgType kind) override;
    bool askYesNo(const std::string& caption, const std::string& text) override;
    void showErrorReport(const std::string& text) override;
    void showFinalErrorReport(const std::string& text) override;
    void quit() override { PostQuitMessage(0); }

    static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void onTrayEvent(int eventCode);
    void layout();
    /// A move to a monitor of another resolution: fonts, controls and the window's size follow it.
    void changeDpi(int dpi, const RECT& suggested);
    void FormDestroy();
    /// Gives a message to the main window's dialog navigation first; true when it was taken there.
    bool dialogMessage(MSG& message);

    Platform& m_platform;
    WindowContext m_context;
    HINSTANCE m_instance;
    HWND m_window = nullptr;
    HFONT m_font = nullptr;
    int m_dpi = 96;
    Win32WatchTimer m_trayTimer;
    Win32WatchTimer m_timer1;
    std::unique_ptr<Watchdog> m_watchdog;
    std::unique_ptr<MainWindow> m_logic;
    std::unique_ptr<Win32LogView> m_logView;
    std::unique_ptr<Win32SettingsPanel> m_panel;
    std::unique_ptr<win32::TrayIcon> m_tray;
    // What the core last asked the tray's tip to say below the title.
    std::string m_trayNotice;
    win32::PopupMenu m_menu;
    KeptFocus m_keptFocus;
    std::string m_pendingError;
    bool m_placed = false;
    bool m_destroyed = false;
};

}  // namespace win32

}  // namespace ovin
