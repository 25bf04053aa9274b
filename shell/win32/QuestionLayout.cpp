#include "QuestionLayout.h"

#include <algorithm>

namespace ovin::win32 {

QuestionMetrics scaledQuestionMetrics(int dpi)
{
    QuestionMetrics m;
    for (int* px : {&m.marginPx, &m.iconSizePx, &m.buttonWidthPx, &m.buttonHeightPx, &m.buttonGapPx, &m.maxTextWidthPx,
                    &m.textGapPx, &m.buttonTopGapPx, &m.extraHeightPx})
        *px = ScaledPx(*px, dpi);
    return m;
}

QuestionLayout plainQuestionLayout(const QuestionMetrics& m, bool hasIcon, int textWidthPx, int textHeightPx)
{
    QuestionLayout layout;
    int textLeft = m.marginPx;
    if (hasIcon) {
        layout.icon = LayoutRect{m.marginPx, m.marginPx, m.iconSizePx, m.iconSizePx};
        textLeft += m.iconSizePx + m.marginPx;
    }
    const int textWidth = std::min(textWidthPx, m.maxTextWidthPx);
    layout.text = {textLeft, m.marginPx, textWidth, textHeightPx};
    const int contentBottom = std::max(layout.icon ? layout.icon->bottom() : 0, layout.text.bottom());
    const int buttonsWidth = 2 * m.buttonWidthPx + m.buttonGapPx;
    layout.clientWidth = std::max(layout.text.right() + m.marginPx, buttonsWidth + 2 * m.marginPx);
    const int buttonsLeft = (layout.clientWidth - buttonsWidth) / 2;
    const int buttonsTop = contentBottom + m.marginPx;
    layout.yes = {buttonsLeft, buttonsTop, m.buttonWidthPx, m.buttonHeightPx};
    layout.no = {buttonsLeft + m.buttonWidthPx + m.buttonGapPx, buttonsTop, m.buttonWidthPx, m.buttonHeightPx};
    layout.clientHeight = buttonsTop + m.buttonHeightPx + m.marginPx;
    return layout;
}

QuestionLayout restyledQuestionLayout(const QuestionLayout& plain, const QuestionMetrics& m,
                                      const std::function<int(int widthPx)>& boldTextHeightPx)
{
    QuestionLayout layout = plain;
    int bottom = 0;
    if (layout.icon) {
        layout.icon->left = layout.clientWidth / 2 - layout.icon->width / 2;
        layout.icon->top = 0;
        bottom = layout.icon->bottom();
    }
    layout.text = {0, bottom + m.textGapPx, layout.clientWidth, boldTextHeightPx(layout.clientWidth)};
    bottom = layout.text.bottom();
    for (LayoutRect* button : {&layout.yes, &layout.no})
        button->top = bottom + m.buttonTopGapPx;
    const int restyledHeight = bottom + m.buttonTopGapPx + m.buttonHeightPx + m.marginPx;
    layout.clientHeight = std::max(plain.clientHeight, restyledHeight) + m.extraHeightPx;
    return layout;
}

}  // namespace ovin::win32
