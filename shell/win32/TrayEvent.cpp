#include "TrayEvent.h"

namespace ovin::win32 {

TrayAction trayActionFor(int eventCode)
{
    switch (eventCode) {
    case kTrayLeftButtonDown:
        return TrayAction::ShowForm;
    case kTrayRightButtonDown:
        return TrayAction::PopupMenu;
    case kTrayBalloonHidden:
        return TrayAction::DeleteIcon;
    default:
        return TrayAction::None;
    }
}

} // namespace ovin::win32
