#pragma once

#include <functional>
#include <optional>

#include "controls/Geometry.h"

namespace ovin::win32 {

/// A control's place in the dialog's client area.
using LayoutRect = Rect;

/// The question dialog's measures in pixels: first those of the plain yes/no dialog, then the restyle's gaps.
struct QuestionMetrics {
    int marginPx = 8;
    int iconSizePx = 32;
    int buttonWidthPx = 75;
    int buttonHeightPx = 25;
    int buttonGapPx = 6;
    int maxTextWidthPx = 360;
    /// Between the icon (or the top) and the text.
    int textGapPx = 15;
    /// Between the text and the buttons.
    int buttonTopGapPx = 10;
    int extraHeightPx = 20;
};

/// The measures at a display's dots per inch (96 gives them unchanged).
QuestionMetrics scaledQuestionMetrics(int dpi);

struct QuestionLayout {
    int clientWidth = 0;
    int clientHeight = 0;
    std::optional<LayoutRect> icon;
    LayoutRect text;
    LayoutRect yes;
    LayoutRect no;
    bool operator==(const QuestionLayout&) const = default;
};

/// The plain dialog: the icon at the top left, the text (already wrapped to at most maxTextWidthPx, of the given
/// size) beside it, the two buttons side by side and centred under both.
QuestionLayout plainQuestionLayout(const QuestionMetrics& metrics, bool hasIcon, int textWidthPx, int textHeightPx);

/// The restyle of the plain dialog: the icon centred at the top edge, the bold text centred over the whole width
/// 15 pixels below it, the buttons 10 pixels under the text and the dialog 20 pixels taller. The bold text may
/// wrap differently, so its height is asked for at the width it gets. The extra height comes on top of a layout
/// in which everything fits: the buttons are never cut off at the bottom.
QuestionLayout restyledQuestionLayout(const QuestionLayout& plain, const QuestionMetrics& metrics,
                                      const std::function<int(int widthPx)>& boldTextHeightPx);

}  // namespace ovin::win32
