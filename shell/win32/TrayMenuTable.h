#pragma once

#include <array>
#include <cstdint>

namespace ovin::win32 {

/// The popup menu's commands; the values are the menu item identifiers (0 means no command was chosen).
enum class MenuCommand : unsigned { None = 0, Open1 = 1, UkonitTrovaniOvin1 = 2, Exit1 = 3 };

enum class MenuItemStyle {
    Bold,
    Regular,
    /// Keeps the style of the menu font as the system sets it.
    MenuFont,
    /// Drawn by the menu itself (an etched line); not owner-drawn.
    Separator,
};

struct TrayMenuItem {
    MenuCommand command;
    const char* caption; // UTF-8
    MenuItemStyle style;
};

/// The menu's look, in pixels at 96 dots per inch.
struct TrayMenuLook {
    int itemWidthPx;
    /// Items are filled and captioned from this x on, right of the banner.
    int itemLeftPx;
    int bannerLeftPx;
    int bannerTopPx;
    int bannerRightPx;
    int bannerBottomPx;
    std::uint8_t bannerRed;
    std::uint8_t bannerGreen;
    std::uint8_t bannerBlue;
    const char* bannerFont;
    int bannerFontPoints;
    /// In tenths of a degree: 900 writes the text upward.
    int bannerEscapement;
    /// Added to the font's character height for the rotated copy.
    int bannerHeightIncreasePx;
    int bannerTextX;
    int bannerTextY;
    const char* bannerText;
};

/// Top to bottom.
extern const std::array<TrayMenuItem, 4> kTrayMenuItems;
extern const TrayMenuLook kTrayMenuLook;

} // namespace ovin::win32
