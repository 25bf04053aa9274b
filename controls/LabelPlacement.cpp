#include "controls/LabelPlacement.h"

namespace ovin {

Point PlaceLabel(TLabelPosition position, const Rect& edit, const Size& label, int spacing)
{
    const int centredTop = edit.top + (edit.height - label.height) / 2;
    switch (position) {
    case lpBelow:
        return {edit.left, edit.bottom() + spacing};
    case lpLeft:
        return {edit.left - label.width - spacing, centredTop};
    case lpRight:
        return {edit.right() + spacing, centredTop};
    case lpAbove:
        break;
    }
    return {edit.left, edit.top - label.height - spacing};
}

}  // namespace ovin
