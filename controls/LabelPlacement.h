#pragma once

#include "controls/Geometry.h"

namespace ovin {

/// On which side of its spin edit a caption label stands.
enum TLabelPosition { lpAbove, lpBelow, lpLeft, lpRight };

/// The top-left corner of a caption label of `label` size beside a spin edit at `edit`, `spacing` pixels away;
/// beside it, the label is centred on the edit's height (halves truncated toward zero).
Point PlaceLabel(TLabelPosition position, const Rect& edit, const Size& label, int spacing);

}  // namespace ovin
