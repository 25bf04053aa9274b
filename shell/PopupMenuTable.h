#pragma once

#include <array>
#include <optional>

#include "controls/Geometry.h"
#include "settings/Texts.h"

namespace ovin {

/// The commands of the tray icon's menu (`PopupMenu1`).
enum class MenuCommand { Open1, UkonitTrovaniOvin1, Exit1 };

/// How an item of the menu draws its caption.
enum class MenuItemStyle {
    Bold,
    Regular,
    /// The menu font's own style.
    MenuFont,
    /// The separator, drawn by the menu itself (an etched line).
    Separator,
};

/// One item of the menu, top to bottom.
struct PopupMenuItem {
    const char* name;  ///< the component name
    const char* caption;
    MenuItemStyle style;
    std::optional<MenuCommand> command;
};

inline constexpr std::array<PopupMenuItem, 4> kPopupMenuItems{{
    {"Open1", texts::kMenuOpen, MenuItemStyle::Bold, MenuCommand::Open1},
    {"UkonitTrovaniOvin1", texts::kMenuStopAll, MenuItemStyle::Regular, MenuCommand::UkonitTrovaniOvin1},
    {"N1", "-", MenuItemStyle::Separator, std::nullopt},
    {"Exit1", texts::kMenuExit, MenuItemStyle::MenuFont, MenuCommand::Exit1},
}};

/// Every command item is measured this wide.
inline constexpr int kMenuItemWidthPx = 130;
/// The desktop the menu was drawn for adds room for a check mark beside every owner-drawn item to the width that
/// the item asks for, and draws the item over that room too; a caption that does not fit widens the item.
inline constexpr int kMenuCheckMarkRoomPx = 15;
/// Where an item's filled area and its caption start, absolute in the menu's client area (inside its frame): the
/// banner and a gap lie left of it.
inline constexpr int kMenuItemLeftPx = 25;
/// The menu's raised frame, as that desktop draws it around every menu, so that a menu over a light window does
/// not melt into it.
inline constexpr int kMenuFrameWidthPx = 2;
/// The captions are set in the font the 130 pixels were measured for (a metric twin of it where the program
/// found one), whatever the desktop's own menu font is.
inline constexpr const char* kMenuFontName = "Tahoma";
inline constexpr int kMenuFontPt = 8;

/// The sky-blue strip along the menu's left edge with "OVIN" written upward (`DrawMenuBanner`), in the
/// coordinates of the menu's client area, inside its frame and cut off where that ends. Every item draws the
/// whole strip.
struct MenuBanner {
    Rect strip{0, 0, 20, 112};
    Rgb colour{166, 202, 240};
    const char* fontName = "Arial";
    int fontPt = 8;
    /// Bold is added to the font's style.
    bool bold = true;
    Rgb textColour{0, 0, 0};
    /// The rotated copy of the font is this many units taller than the 8-point font (13 instead of 11 pixels at
    /// 96 pixels per inch).
    int heightGrowPx = 2;
    /// Tenths of a degree: 900 runs the text from bottom to top.
    int escapement = 900;
    /// The text's reference point: the start of the text at the top of its character cells.
    Point text{2, 40};
    const char* caption = texts::kMenuBanner;
};
inline constexpr MenuBanner kMenuBanner{};

}  // namespace ovin
