#include "shell/QuestionDialog.h"

#include <algorithm>

#include "platform/FileSystem.h"
#include "shell/sParametry.h"

namespace ovin {

namespace question {

namespace {

constexpr int kTextGapPx = 15;
constexpr int kButtonGapPx = 10;
constexpr int kExtraHeightPx = 20;

}  // namespace

const char* YesCaption(bool debug) { return debug ? "&Ofšemže" : "&Ano"; }

const char* NoCaption(bool debug) { return debug ? "&Jistě že ne" : "&Ne"; }

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

int PlainDialogWidth(int layoutWidth, int boldTextWidth, int marginPx)
{
    return std::max(layoutWidth, std::min(boldTextWidth, kMaxTextWidthPx) + 2 * marginPx);
}

Restyled Restyle(const PlainLayout& plain)
{
    Restyled r;
    int bottom = 0;
    if (plain.icon) {
        r.icon = Rect{plain.dialogWidth / 2 - plain.icon->width / 2, 0, plain.icon->width, plain.icon->height};
        bottom = r.icon->bottom();
    }
    r.text = {0, bottom + kTextGapPx, plain.dialogWidth, plain.textHeight};
    bottom = r.text.bottom();
    r.buttonsTop = bottom + kButtonGapPx;
    // The extra height comes on top of a layout in which everything fits, so the buttons are never cut off.
    const int fitting = r.buttonsTop + plain.buttonHeight + plain.bottomMargin;
    r.dialogHeight = std::max(plain.dialogHeight, fitting) + kExtraHeightPx;
    return r;
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
