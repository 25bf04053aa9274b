#pragma once

#include <QFocusEvent>

#include "controls/FormFocus.h"

namespace ovin {

/// Opening a popup menu or switching to another application takes the keyboard away only for a while.
inline FocusLoss focusLossOf(const QFocusEvent& event)
{
    const bool borrowed = event.reason() == Qt::PopupFocusReason || event.reason() == Qt::ActiveWindowFocusReason;
    return borrowed ? FocusLoss::Borrowed : FocusLoss::Ordinary;
}

}  // namespace ovin
