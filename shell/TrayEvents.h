#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "controls/Geometry.h"

namespace ovin {

/// The event codes of the tray icon's callback (`TrayIconMessage`), as the desktop's notification area reports
/// them: the left and the right button pressed on the icon, and a balloon tip hidden.
inline constexpr int kTrayLeftButtonDown = 513;
inline constexpr int kTrayRightButtonDown = 516;
inline constexpr int kTrayBalloonHidden = 1027;

/// Indexes of the icon images (`ImageList1`).
inline constexpr int kIdleImage = 0;
inline constexpr int kBusyImage = 1;
/// The idle image while the router keeps failing: the dog with a warning mark.
inline constexpr int kWarningImage = 2;
inline constexpr int kTrayImageCount = 3;

/// The tip of the icon holds at most this many characters.
inline constexpr int kTrayTipMaxChars = 127;

/// The icon's tip: the application's title, and below it the watchdog's notice when there is one.
std::string TrayTip(std::string_view title, std::string_view notice);

/// What the icon's owner does for an event code.
enum class TrayAction {
    /// `ShowForm` on the main window.
    ShowForm,
    /// Bring the main window to the foreground (even hidden), open the menu at the cursor, and run the chosen
    /// command once the menu has closed.
    OpenMenu,
    /// Delete the icon; nothing adds it again for the rest of the run.
    RemoveForGood,
    Nothing,
};

/// `TrayIconMessage`: looks only at the event code; releases and double clicks do nothing.
TrayAction TrayIconMessage(int eventCode);

/// Where a menu of `menu` size opens, its top-left corner. With the cursor known, at the cursor, turned to the
/// left or upwards where it would leave the screen's free area `available` (a tray in a panel at the bottom or
/// the right). With the cursor unknown, at the corner of the free area beside the panel, the edge where
/// `screen` and `available` differ, at its right end, where trays sit; with no panel, bottom right. A menu
/// larger than the free area starts at its top left. An empty `available` counts as the whole screen.
Point MenuPosition(std::optional<Point> cursor, const Rect& screen, const Rect& available, const Size& menu);

}  // namespace ovin
