#include "shell/TrayEvents.h"

#include <algorithm>

#include "watchdog/WatchCycle.h"

namespace ovin {

// The watch cycle picks the image by index; the front ends hold the pictures in this order.
static_assert(kIdleImage == WatchCycle::kIdleImage && kBusyImage == WatchCycle::kBusyImage &&
              kWarningImage == WatchCycle::kWarningImage);

std::string TrayTip(std::string_view title, std::string_view notice)
{
    std::string tip(title);
    if (!notice.empty())
        tip.append("\n").append(notice);
    return tip;
}

TrayAction TrayIconMessage(int eventCode)
{
    switch (eventCode) {
    case kTrayLeftButtonDown:
        return TrayAction::ShowForm;
    case kTrayRightButtonDown:
        return TrayAction::OpenMenu;
    case kTrayBalloonHidden:
        return TrayAction::RemoveForGood;
    default:
        return TrayAction::Nothing;
    }
}

Point MenuPosition(std::optional<Point> cursor, const Rect& screen, const Rect& available, const Size& menu)
{
    const Rect area = available.width > 0 && available.height > 0 ? available : screen;
    Point at;
    if (cursor) {
        at = *cursor;
        if (at.x + menu.width > area.right())
            at.x -= menu.width;
        if (at.y + menu.height > area.bottom())
            at.y -= menu.height;
    } else {
        const int right = area.right() - menu.width;
        const int bottom = area.bottom() - menu.height;
        if (area.top > screen.top)
            at = {right, area.top};
        else if (area.left > screen.left)
            at = {area.left, bottom};
        else
            at = {right, bottom};
    }
    at.x = std::max(area.left, std::min(at.x, area.right() - menu.width));
    at.y = std::max(area.top, std::min(at.y, area.bottom() - menu.height));
    return at;
}

}  // namespace ovin
