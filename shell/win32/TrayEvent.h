#pragma once

namespace ovin::win32 {

/// The message the shell sends to the notification icon's callback window (WM_USER + 1).
constexpr unsigned kTrayCallbackMessage = 1025;

/// The event codes the shell puts into the callback message's second parameter.
constexpr int kTrayLeftButtonDown = 513;
constexpr int kTrayRightButtonDown = 516;
constexpr int kTrayBalloonHidden = 1027;

enum class TrayAction {
    None,
    /// Show the main window and bring it to the front.
    ShowForm,
    /// Bring the main window to the foreground and open the popup menu at the cursor.
    PopupMenu,
    /// Take the icon out of the notification area for good; the callback window stays.
    DeleteIcon,
};

/// What the notification icon does for one event code of its callback message. Every other code, button releases
/// and double-clicks included, does nothing.
TrayAction trayActionFor(int eventCode);

} // namespace ovin::win32
