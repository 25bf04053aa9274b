#include "controls/ActiveArrow.h"

namespace ovin {

bool ActiveArrow::SetActiveButton(Arrow arrow, bool tabStop, bool canTakeFocus)
{
    if (!tabStop || !canTakeFocus || arrow == m_active)
        return false;
    m_active = arrow;
    return true;
}

}  // namespace ovin
