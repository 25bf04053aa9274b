#pragma once

#include <windows.h>

#include <optional>

#include "shell/PopupMenuTable.h"
#include "UniqueHandle.h"

namespace ovin::win32 {

/// The notification icon's menu, drawn by the program: items 130 pixels wide that start right of a sky-blue strip
/// with "OVIN" written upward along the menu's left edge. Captions, styles and every measure come from
/// the shared menu table (kPopupMenuItems, kMenuBanner).
///
/// The owner window passes its WM_MEASUREITEM and WM_DRAWITEM on to measureItem and drawItem; the menu only
/// offers the commands, and the owner runs the chosen one after track() has returned.
class PopupMenu final {
public:
    PopupMenu();
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    /// Opens the menu at the mouse cursor and returns the chosen command once it has closed. The owner is brought
    /// to the foreground first, even when hidden, and is sent an empty message afterwards: without both, the menu
    /// of a notification icon does not close when the user clicks elsewhere.
    std::optional<MenuCommand> track(HWND owner);

    /// The menu item identifier of a command.
    static UINT itemId(MenuCommand command) { return static_cast<UINT>(command) + 1; }

    /// True when the message was one of this menu's items.
    bool measureItem(HWND owner, MEASUREITEMSTRUCT& item) const;
    bool drawItem(const DRAWITEMSTRUCT& item) const;

    HMENU handle() const { return m_menu.get(); }

private:
    /// Paints the strip with its rotated caption, in the coordinates of the whole menu window.
    void DrawMenuBanner(HDC dc, int dpi) const;

    MenuHandle m_menu;
};

}  // namespace ovin::win32
