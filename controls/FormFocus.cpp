#include "controls/FormFocus.h"

namespace ovin {

bool FormFocus::enters()
{
    if (m_focused)
        return false;
    m_focused = true;
    return true;
}

bool FormFocus::exits(FocusLoss loss)
{
    if (!m_focused || loss == FocusLoss::Borrowed)
        return false;
    m_focused = false;
    return true;
}

}  // namespace ovin
