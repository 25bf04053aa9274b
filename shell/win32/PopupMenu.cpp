#include "PopupMenu.h"

#include <string>

#include "Dpi.h"
#include "controls/win32/ColorRef.h"
#include "SelectedObject.h"
#include "platform/win32/Win32Text.h"

namespace ovin::win32 {

namespace {

// Items are told apart in the drawing messages by their index in the table, carried as the item data.
const PopupMenuItem* itemAt(ULONG_PTR data) { return data < kPopupMenuItems.size() ? &kPopupMenuItems[data] : nullptr; }

LOGFONTW menuFont()
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    return metrics.lfMenuFont;
}

int defaultItemHeight()
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    return metrics.iMenuHeight > 0 ? metrics.iMenuHeight : GetSystemMetrics(SM_CYMENU);
}

}  // namespace

PopupMenu::PopupMenu() : m_menu(CreatePopupMenu())
{
    for (size_t i = 0; i < kPopupMenuItems.size(); ++i) {
        const PopupMenuItem& item = kPopupMenuItems[i];
        if (item.style == MenuItemStyle::Separator) {
            AppendMenuW(m_menu.get(), MF_SEPARATOR, 0, nullptr);
            continue;
        }
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA;
        info.fType = MFT_OWNERDRAW;
        info.wID = itemId(*item.command);
        info.dwItemData = i;
        InsertMenuItemW(m_menu.get(), static_cast<UINT>(i), TRUE, &info);
    }
}

std::optional<MenuCommand> PopupMenu::track(HWND owner)
{
    SetForegroundWindow(owner);
    POINT cursor{};
    GetCursorPos(&cursor);
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(m_menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                       cursor.x, cursor.y, 0, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    for (const PopupMenuItem& item : kPopupMenuItems) {
        if (item.command && itemId(*item.command) == chosen)
            return item.command;
    }
    return std::nullopt;
}

bool PopupMenu::measureItem(HWND owner, MEASUREITEMSTRUCT& item) const
{
    if (item.CtlType != ODT_MENU || !itemAt(item.itemData))
        return false;
    const int dpi = dpiOf(owner);
    item.itemWidth = static_cast<UINT>(scaled(kMenuItemWidthPx, dpi));
    item.itemHeight = static_cast<UINT>(defaultItemHeight());
    return true;
}

bool PopupMenu::drawItem(const DRAWITEMSTRUCT& item) const
{
    const PopupMenuItem* entry = item.CtlType == ODT_MENU ? itemAt(item.itemData) : nullptr;
    if (!entry)
        return false;
    const HDC dc = item.hDC;
    const int dpi = dpiOf(WindowFromDC(dc));
    const bool selected = (item.itemState & ODS_SELECTED) != 0;

    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    RECT area = item.rcItem;
    area.left = scaled(kMenuItemLeftPx, dpi);
    FillRect(dc, &area, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));

    LOGFONTW look = menuFont();
    if (entry->style == MenuItemStyle::Bold)
        look.lfWeight = FW_BOLD;
    else if (entry->style == MenuItemStyle::Regular)
        look.lfWeight = FW_NORMAL;
    const FontHandle font(CreateFontIndirectW(&look));
    {
        const SelectedObject fontIn(dc, font.get());
        SetBkMode(dc, TRANSPARENT);
        const std::wstring caption = widen(entry->caption);
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &area,
                  DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOCLIP | DT_NOPREFIX);
    }
    DrawMenuBanner(dc, dpi);
    return true;
}

void PopupMenu::DrawMenuBanner(HDC dc, int dpi) const
{
    const MenuBanner& l = kMenuBanner;
    const COLORREF sky = win32::colorRef(l.colour);
    const RECT strip{scaled(l.strip.left, dpi), scaled(l.strip.top, dpi), scaled(l.strip.right(), dpi),
                     scaled(l.strip.top + l.strip.height, dpi)};
    const BrushHandle brush(CreateSolidBrush(sky));
    FillRect(dc, &strip, brush.get());

    LOGFONTW look{};
    const std::wstring face = widen(l.fontName);
    face.copy(look.lfFaceName, LF_FACESIZE - 1);
    look.lfHeight = fontHeightFor(l.fontPt, dpi);
    look.lfWeight = l.bold ? FW_BOLD : FW_NORMAL;
    look.lfCharSet = DEFAULT_CHARSET;
    // The rotated copy: a character height larger by the table's amount, everything else as the upright font.
    look.lfHeight -= scaled(l.heightGrowPx, dpi);
    look.lfEscapement = l.escapement;
    look.lfOrientation = l.escapement;
    const FontHandle font(CreateFontIndirectW(&look));
    const SelectedObject fontIn(dc, font.get());
    SetTextColor(dc, win32::colorRef(l.textColour));
    SetBkColor(dc, sky);
    SetBkMode(dc, OPAQUE);
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    const std::wstring text = widen(l.caption);
    TextOutW(dc, scaled(l.text.x, dpi), scaled(l.text.y, dpi), text.c_str(), static_cast<int>(text.size()));
}

}  // namespace ovin::win32
