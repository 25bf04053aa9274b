#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "controls/Geometry.h"

namespace ovin {

class FileSystem;
class Switches;

/// The kinds of the question dialog; the kind picks its icon (custom has none).
enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

/// The restyled yes/no question (`MessageDialog`): what both front ends show and how they lay it out after
/// the platform's standard dialog has been built.
namespace question {

/// The caption `Confirm` gives the dialog.
inline constexpr const char* kConfirmCaption = "Dotaz:";
/// The dialog's font name after the restyle (its size stays).
inline constexpr const char* kFontName = "Tahoma";
/// The answers of the standard dialog's buttons.
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
/// The platform's captions that the restyle replaces.
inline constexpr const char* kPlatformYes = "&Yes";
inline constexpr const char* kPlatformNo = "&No";

/// The widest the question's text may make the dialog: a longer question wraps.
inline constexpr int kMaxTextWidthPx = 360;
/// Room between the lines of a question that wraps: the accents over capitals stand above the font's ascent,
/// so with the font's own leading (none) they would touch the descenders of the line above.
inline constexpr int kLineGapPx = 4;

/// The letter that answers a button on its own, without Alt, as in the standard dialogs of the desktop the
/// program comes from (a dialog with buttons only has no field that would take it): the character after the
/// first "&" that does not stand for itself ("&&"), as UTF-8; empty when the caption has none.
std::string_view AcceleratorLetter(std::string_view caption);

/// The width of the plain dialog before the restyle: its own layout's width, widened so that the bold question
/// (`boldTextWidth`, as the front end measures it, at most `kMaxTextWidthPx`) stands on one line with
/// `marginPx` at both ends.
int PlainDialogWidth(int layoutWidth, int boldTextWidth, int marginPx);

/// The caption of the yes button: "&Ano", or "&Ofšemže" in debug mode; the letter after "&" is the accelerator.
const char* YesCaption(bool debug);
/// The caption of the no button: "&Ne", or "&Jistě že ne" in debug mode.
const char* NoCaption(bool debug);

/// The standard dialog as the platform laid it out, and the measures the restyle needs of it.
struct PlainLayout {
    /// Outer width of the dialog; the restyle keeps it.
    int dialogWidth = 0;
    /// Height of the standard layout.
    int dialogHeight = 0;
    /// The icon's size; none for the custom kind.
    std::optional<Size> icon;
    /// The height the bold text needs when it is given the whole width (the front end measures its font).
    int textHeight = 0;
    /// Height of the buttons and the margin the standard layout keeps below them.
    int buttonHeight = 0;
    int bottomMargin = 0;
};

/// Where the restyle puts everything (steps 5 and 6 of `MessageDialog`): the icon centred at the top, the text
/// bold and centred over the whole width 15 pixels below it, the buttons 10 pixels below the text (their left
/// positions and sizes stay), and the dialog 20 pixels taller than a layout in which everything fits.
struct Restyled {
    std::optional<Rect> icon;
    Rect text;
    int buttonsTop = 0;
    int dialogHeight = 0;
};

Restyled Restyle(const PlainLayout& plain);

}  // namespace question

/// True when the question dialog shows its debug captions: a file "/debug" exists, or one of the words d,
/// debug, -d, -debug is a switch of this run (tested in this order). Any failure while testing counts as false.
bool IsDebugMode(const Switches& switches, const FileSystem& files);

}  // namespace ovin
