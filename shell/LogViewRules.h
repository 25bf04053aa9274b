#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controls/Geometry.h"
#include "shell/EditorCommand.h"

namespace ovin {

class LogDocument;

/// What the log view decides whatever paints it: the keys, the find highlight, the selected part of a line, the
/// width it offers to scroll over and how far it scrolls to show the caret.
namespace logview {

/// Room left of the text, so that a caret at a line's start is not drawn on the view's edge.
inline constexpr int kMarginPx = 2;
/// Matches of the find bar's text stand on this background in the visible lines.
inline constexpr Rgb kFoundBackground{255, 255, 0};

/// The keys the log view's editor knows, whatever the toolkit calls them. Each front end translates its own key
/// codes into these; the letters only come from a front end whose toolkit has no standard sequences of its own.
enum class EditorKey {
    F3,
    Left,
    Right,
    Up,
    Down,
    PageUp,
    PageDown,
    Home,
    End,
    Backspace,
    Delete,
    Insert,
    Return,
    A,
    C,
    X,
    V,
    F,
};

/// The command a key gives, with Shift or Ctrl where that changes it (Shift wins over Ctrl where both change
/// it); none when the key types a character instead. Shift with a caret move extends the selection, which the
/// editor does on its own.
std::optional<EditorCommand> CommandOfKey(EditorKey key, bool ctrl, bool shift);

/// A part of a line in UTF-16 units of the decoded line, as both toolkits' text functions count them.
struct Utf16Span {
    int from = 0;
    int to = 0;
    friend bool operator==(const Utf16Span&, const Utf16Span&) = default;
};

/// Every match of `needle` in `line`, left to right, none overlapping; none for an empty needle.
std::vector<Utf16Span> MatchSpans(std::string_view line, std::string_view needle);

/// The selected part of one line.
struct LineSelection {
    /// The selected characters; empty when only the line's break is selected.
    Utf16Span characters;
    /// The line's break is selected too: it shows as a little selected room after the line's characters.
    bool lineBreak = false;
    friend bool operator==(const LineSelection&, const LineSelection&) = default;
};

/// Which part of `line` shows as selected; none when the selection leaves the line alone (a selection that ends
/// at a line's start does not touch that line).
std::optional<LineSelection> SelectedPart(const LogDocument& document, std::size_t line);

/// The width the view offers to scroll over, margins included. The widest line is known in bytes only, so it is
/// guessed from the average character width; the widths seen while painting (`paintedPx`) correct it upwards.
int ContentWidthPx(std::size_t widestLineBytes, int averageCharWidthPx, int paintedPx, int marginPx);

/// Room kept beside the caret when the view scrolls sideways to show it, so that the text around it shows too.
int CaretRoomPx(int averageCharWidthPx);

/// The horizontal scroll offset that shows a caret `caretX` pixels from its line's start in a view `viewWidthPx`
/// wide scrolled to `offsetPx`, keeping `CaretRoomPx` beside it; none when the caret already shows.
std::optional<int> OffsetShowingCaret(int caretX, int offsetPx, int viewWidthPx, int marginPx, int averageCharWidthPx);

/// What the find bar opens with: the selection when it lies on one line; none otherwise, and the bar keeps the
/// text it had.
std::optional<std::string> NeedleFromSelection(const LogDocument& document);

}  // namespace logview

}  // namespace ovin
