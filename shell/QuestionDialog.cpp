#include "shell/QuestionDialog.h"

#include <algorithm>

#include "platform/FileSystem.h"
#include "settings/Texts.h"
#include "shell/sParametry.h"

namespace ovin {

namespace question {

Metrics ScaledMetrics(int dpi)
{
    Metrics m;
    for (int* px : {&m.marginPx, &m.iconSizePx, &m.buttonWidthPx, &m.buttonHeightPx, &m.buttonGapPx, &m.maxTextWidthPx,
                    &m.textGapPx, &m.buttonTopGapPx, &m.extraHeightPx})
        *px = ScaledPx(*px, dpi);
    return m;
}

const char* YesCaption(bool debug) { return debug ? texts::kYesDebug : texts::kYes; }

const char* NoCaption(bool debug) { return debug ? texts::kNoDebug : texts::kNo; }

std::string_view AcceleratorLetter(std::string_view caption)
{
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        // A letter outside ASCII takes its whole UTF-8 sequence.
        std::size_t length = 1;
        while (i + 1 + length < caption.size() && (static_cast<unsigned char>(caption[i + 1 + length]) & 0xC0) == 0x80)
            ++length;
        return caption.substr(i + 1, length);
    }
    return {};
}

int PlainDialogWidth(int layoutWidth, int boldTextWidth, const Metrics& m)
{
    return std::max(layoutWidth, std::min(boldTextWidth, m.maxTextWidthPx) + 2 * m.marginPx);
}

Layout PlainLayout(const Metrics& m, bool hasIcon, Size text, int boldTextWidth)
{
    Layout layout;
    int textLeft = m.marginPx;
    if (hasIcon) {
        layout.icon = Rect{m.marginPx, m.marginPx, m.iconSizePx, m.iconSizePx};
        textLeft += m.iconSizePx + m.marginPx;
    }
    layout.text = {textLeft, m.marginPx, std::min(text.width, m.maxTextWidthPx), text.height};
    const int contentBottom = std::max(layout.icon ? layout.icon->bottom() : 0, layout.text.bottom());
    const int buttonsWidth = 2 * m.buttonWidthPx + m.buttonGapPx;
    layout.clientWidth =
        PlainDialogWidth(std::max(layout.text.right() + m.marginPx, buttonsWidth + 2 * m.marginPx), boldTextWidth, m);
    const int buttonsLeft = (layout.clientWidth - buttonsWidth) / 2;
    const int buttonsTop = contentBottom + m.marginPx;
    layout.yes = {buttonsLeft, buttonsTop, m.buttonWidthPx, m.buttonHeightPx};
    layout.no = {buttonsLeft + m.buttonWidthPx + m.buttonGapPx, buttonsTop, m.buttonWidthPx, m.buttonHeightPx};
    layout.clientHeight = buttonsTop + m.buttonHeightPx + m.marginPx;
    return layout;
}

Layout Restyle(const Layout& plain, const Metrics& m, const std::function<int(int widthPx)>& boldTextHeightPx)
{
    Layout layout = plain;
    int bottom = 0;
    if (layout.icon) {
        layout.icon->left = layout.clientWidth / 2 - layout.icon->width / 2;
        layout.icon->top = 0;
        bottom = layout.icon->bottom();
    }
    layout.text = {0, bottom + m.textGapPx, layout.clientWidth, boldTextHeightPx(layout.clientWidth)};
    bottom = layout.text.bottom();
    for (Rect* button : {&layout.yes, &layout.no})
        button->top = bottom + m.buttonTopGapPx;
    // The extra height comes on top of a layout in which everything fits, so the buttons are never cut off.
    const int fitting = layout.yes.top + m.buttonHeightPx + m.marginPx;
    layout.clientHeight = std::max(plain.clientHeight, fitting) + m.extraHeightPx;
    return layout;
}

}  // namespace question

bool IsDebugMode(const Switches& switches, const FileSystem& files)
{
    try {
        if (files.fileExists("/debug"))
            return true;
        for (const char* word : {"d", "debug", "-d", "-debug"}) {
            if (switches.HasSwitch(word))
                return true;
        }
    } catch (...) {
    }
    return false;
}

}  // namespace ovin
