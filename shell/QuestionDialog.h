#pragma once

#include <functional>
#include <optional>
#include <string>

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
