#include "PopupMenu.h"

#include <string>

#include "Dpi.h"
#include "SelectedObject.h"
#include "Utf.h"

namespace ovin::win32 {

namespace {

// Items are told apart in the drawing messages by their index in the table, carried as the item data.
const TrayMenuItem* itemAt(ULONG_PTR data)
{
    return data < kTrayMenuItems.size() ? &kTrayMenuItems[data] : nullptr;
}

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

} // namespace

PopupMenu::PopupMenu() : m_menu(CreatePopupMenu())
{
    for (size_t i = 0; i < kTrayMenuItems.size(); ++i) {
        const TrayMenuItem& item = kTrayMenuItems[i];
        if (item.style == MenuItemStyle::Separator) {
            AppendMenuW(m_menu.get(), MF_SEPARATOR, 0, nullptr);
            continue;
        }
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA;
        info.fType = MFT_OWNERDRAW;
        info.wID = static_cast<UINT>(item.command);
        info.dwItemData = i;
        InsertMenuItemW(m_menu.get(), static_cast<UINT>(i), TRUE, &info);
    }
}

MenuCommand PopupMenu::track(HWND owner)
{
    SetForegroundWindow(owner);
    POINT cursor{};
    GetCursorPos(&cursor);
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(m_menu.get(),
        TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, cursor.x, cursor.y, 0, owner,
        nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    for (const TrayMenuItem& item : kTrayMenuItems) {
        if (item.style != MenuItemStyle::Separator && static_cast<UINT>(item.command) == chosen)
            return item.command;
    }
    return MenuCommand::None;
}

bool PopupMenu::measureItem(HWND owner, MEASUREITEMSTRUCT& item) const
{
    if (item.CtlType != ODT_MENU || !itemAt(item.itemData))
        return false;
    const int dpi = dpiOf(owner);
    item.itemWidth = static_cast<UINT>(scaled(kTrayMenuLook.itemWidthPx, dpi));
    item.itemHeight = static_cast<UINT>(defaultItemHeight());
    return true;
}

bool PopupMenu::drawItem(const DRAWITEMSTRUCT& item) const
{
    const TrayMenuItem* entry = item.CtlType == ODT_MENU ? itemAt(item.itemData) : nullptr;
    if (!entry)
        return false;
    const HDC dc = item.hDC;
    const int dpi = dpiOf(WindowFromDC(dc));
    const bool selected = (item.itemState & ODS_SELECTED) != 0;

    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    RECT area = item.rcItem;
    area.left = scaled(kTrayMenuLook.itemLeftPx, dpi);
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
        const std::wstring caption = toWide(entry->caption);
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &area,
                  DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOCLIP | DT_NOPREFIX);
    }
    DrawMenuBanner(dc, dpi);
    return true;
}

void PopupMenu::DrawMenuBanner(HDC dc, int dpi) const
{
    const TrayMenuLook& l = kTrayMenuLook;
    const COLORREF sky = RGB(l.bannerRed, l.bannerGreen, l.bannerBlue);
    const RECT strip{scaled(l.bannerLeftPx, dpi), scaled(l.bannerTopPx, dpi), scaled(l.bannerRightPx, dpi),
                     scaled(l.bannerBottomPx, dpi)};
    const BrushHandle brush(CreateSolidBrush(sky));
    FillRect(dc, &strip, brush.get());

    LOGFONTW look{};
    const std::wstring face = toWide(l.bannerFont);
    face.copy(look.lfFaceName, LF_FACESIZE - 1);
    look.lfHeight = fontHeightFor(l.bannerFontPoints, dpi);
    look.lfWeight = FW_BOLD;
    look.lfCharSet = DEFAULT_CHARSET;
    // The rotated copy: a character height larger by the table's amount, everything else as the upright font.
    look.lfHeight -= scaled(l.bannerHeightIncreasePx, dpi);
    look.lfEscapement = l.bannerEscapement;
    look.lfOrientation = l.bannerEscapement;
    const FontHandle font(CreateFontIndirectW(&look));
    const SelectedObject fontIn(dc, font.get());
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, sky);
    SetBkMode(dc, OPAQUE);
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    const std::wstring text = toWide(l.bannerText);
    TextOutW(dc, scaled(l.bannerTextX, dpi), scaled(l.bannerTextY, dpi), text.c_str(), static_cast<int>(text.size()));
}

} // namespace ovin::win32
