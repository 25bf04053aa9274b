#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "controls/Geometry.h"
#include "settings/Texts.h"

namespace ovin {

class FileSystem;
class Switches;

/// The kinds of the question dialog; the kind picks its icon (custom has none).
enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

/// The restyled yes/no question (`MessageDialog`): what both front ends show and how they lay it out after
/// the platform's standard dialog has been built.
namespace question {

/// The caption `Confirm` gives the dialog.
inline constexpr const char* kConfirmCaption = texts::kConfirmCaption;
/// The dialog's font name after the restyle (its size stays).
inline constexpr const char* kFontName = "Tahoma";
/// The answers of the standard dialog's buttons.
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
/// The platform's captions that the restyle replaces.
inline constexpr const char* kPlatformYes = "&Yes";
inline constexpr const char* kPlatformNo = "&No";

/// Room between the lines of a question that wraps: the accents over capitals stand above the font's ascent,
/// so with the font's own leading (none) they would touch the descenders of the line above.
inline constexpr int kLineGapPx = 4;

/// The question's measures in pixels: first those of the plain yes/no dialog, then the restyle's gaps and extra
/// height. The defaults are the pixels at 96 dots per inch.
struct Metrics {
    int marginPx = 8;
    int iconSizePx = 32;
    int buttonWidthPx = 75;
    int buttonHeightPx = 25;
    /// Between the two buttons.
    int buttonGapPx = 6;
    /// The widest the question's text may make the plain dialog: a longer question wraps.
    int maxTextWidthPx = 360;
    /// Between the icon (or the top) and the restyled text.
    int textGapPx = 15;
    /// Between the restyled text and the buttons.
    int buttonTopGapPx = 10;
    int extraHeightPx = 20;
};

/// The measures at a display's dots per inch, each rounded as every layout measure is; at 96 they are the
/// defaults unchanged.
Metrics ScaledMetrics(int dpi);

/// Where the dialog's parts stand in its client area, and its client size.
struct Layout {
    int clientWidth = 0;
    int clientHeight = 0;
    /// None for the custom kind.
    std::optional<Rect> icon;
    Rect text;
    Rect yes;
    Rect no;
    friend bool operator==(const Layout&, const Layout&) = default;
};

/// The letter that answers a button on its own, without Alt, as in the standard dialogs of the desktop the
/// program comes from (a dialog with buttons only has no field that would take it): the character after the
/// first "&" that does not stand for itself ("&&"), as UTF-8; empty when the caption has none.
std::string_view AcceleratorLetter(std::string_view caption);

/// The width of the plain dialog before the restyle: its own layout's width, widened so that the bold question
/// (`boldTextWidth`, as the front end measures it, at most the metrics' widest text) stands on one line with the
/// margin at both ends.
int PlainDialogWidth(int layoutWidth, int boldTextWidth, const Metrics& metrics);

/// The standard dialog as the platform lays it out: the icon at the top left, the text (as the front end measured
/// it in the regular font, cut to the widest text) beside it, the two buttons side by side and centred under
/// both, widened for the restyle's bold text on one line as `PlainDialogWidth` says (`boldTextWidth` is the
/// question's width in the restyle's bold font on one line, as the front end measures it).
Layout PlainLayout(const Metrics& metrics, bool hasIcon, Size text, int boldTextWidth);

/// The caption of the yes button: "&Ano", or "&Ofšemže" in debug mode; the letter after "&" is the accelerator.
const char* YesCaption(bool debug);
/// The caption of the no button: "&Ne", or "&Jistě že ne" in debug mode.
const char* NoCaption(bool debug);

/// Where the restyle puts everything: the icon centred at the top edge, the text bold and centred over the whole
/// width `textGapPx` below it, the buttons `buttonTopGapPx` under the text (their left positions and sizes stay),
/// and the dialog `extraHeightPx` taller than a layout in which everything fits, so that the buttons are never cut
/// off. The bold text may wrap differently from the plain one, so its height is asked for at the width it gets.
Layout Restyle(const Layout& plain, const Metrics& metrics, const std::function<int(int widthPx)>& boldTextHeightPx);

}  // namespace question

/// True when the question dialog shows its debug captions: a file "/debug" exists, or one of the words d,
/// debug, -d, -debug is a switch of this run (tested in this order). Any failure while testing counts as false.
bool IsDebugMode(const Switches& switches, const FileSystem& files);

}  // namespace ovin
