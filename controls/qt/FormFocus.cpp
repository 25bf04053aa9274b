#include "controls/qt/FormFocus.h"

#include <QFocusEvent>

namespace ovin {

bool FormFocus::enters()
{
    if (m_focused)
        return false;
    m_focused = true;
    return true;
}

bool FormFocus::exits(const QFocusEvent& event)
{
    const bool keyboardOnlyBorrowed =
        event.reason() == Qt::PopupFocusReason || event.reason() == Qt::ActiveWindowFocusReason;
    if (!m_focused || keyboardOnlyBorrowed)
        return false;
    m_focused = false;
    return true;
}

} // namespace ovin
