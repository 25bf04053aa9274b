#include "shell/LogViewRules.h"

#include <algorithm>
#include <climits>

#include "shell/LogDocument.h"

namespace ovin::logview {

namespace {

struct KeyRow {
    EditorKey key;
    std::optional<EditorCommand> plain;
    std::optional<EditorCommand> withCtrl;
    std::optional<EditorCommand> withShift;
};
constexpr KeyRow kKeys[] = {
    {EditorKey::F3, EditorCommand::FindNext, EditorCommand::FindNext, EditorCommand::FindPrevious},
    {EditorKey::Left, EditorCommand::MoveLeft, EditorCommand::WordLeft, std::nullopt},
    {EditorKey::Right, EditorCommand::MoveRight, EditorCommand::WordRight, std::nullopt},
    {EditorKey::Up, EditorCommand::LineUp, EditorCommand::LineUp, std::nullopt},
    {EditorKey::Down, EditorCommand::LineDown, EditorCommand::LineDown, std::nullopt},
    {EditorKey::PageUp, EditorCommand::PageUp, EditorCommand::PageUp, std::nullopt},
    {EditorKey::PageDown, EditorCommand::PageDown, EditorCommand::PageDown, std::nullopt},
    {EditorKey::Home, EditorCommand::LineStart, EditorCommand::DocumentStart, std::nullopt},
    {EditorKey::End, EditorCommand::LineEnd, EditorCommand::DocumentEnd, std::nullopt},
    {EditorKey::Backspace, EditorCommand::DeleteBackward, EditorCommand::DeleteBackward, std::nullopt},
    // Shift+Delete and the Insert keys are the clipboard keys older than Ctrl+C, X and V.
    {EditorKey::Delete, EditorCommand::DeleteForward, EditorCommand::DeleteForward, EditorCommand::Cut},
    {EditorKey::Insert, EditorCommand::Nothing, EditorCommand::Copy, EditorCommand::Paste},
    {EditorKey::Return, EditorCommand::InsertLineBreak, EditorCommand::InsertLineBreak, std::nullopt},
    {EditorKey::A, std::nullopt, EditorCommand::SelectAll, std::nullopt},
    {EditorKey::C, std::nullopt, EditorCommand::Copy, std::nullopt},
    {EditorKey::X, std::nullopt, EditorCommand::Cut, std::nullopt},
    {EditorKey::V, std::nullopt, EditorCommand::Paste, std::nullopt},
    {EditorKey::F, std::nullopt, EditorCommand::Find, std::nullopt},
};

}  // namespace

std::optional<EditorCommand> CommandOfKey(EditorKey key, bool ctrl, bool shift)
{
    for (const KeyRow& row : kKeys) {
        if (row.key != key)
            continue;
        if (shift && row.withShift)
            return row.withShift;
        return ctrl ? row.withCtrl : row.plain;
    }
    return std::nullopt;
}

std::vector<Utf16Span> MatchSpans(std::string_view line, std::string_view needle)
{
    std::vector<Utf16Span> spans;
    if (needle.empty())
        return spans;
    for (std::size_t at = line.find(needle); at != std::string_view::npos; at = line.find(needle, at + needle.size()))
        spans.push_back({Utf16Index(line, at), Utf16Index(line, at + needle.size())});
    return spans;
}

std::optional<LineSelection> SelectedPart(const LogDocument& document, std::size_t line)
{
    const std::size_t from = document.selectionStart();
    const std::size_t to = document.selectionEnd();
    const std::size_t start = document.lineStart(line);
    const std::size_t end = document.lineEnd(line);
    if (from >= to || from > end || to < start || (to == start && from < start))
        return std::nullopt;
    const std::string_view bytes = document.lineBytes(line);
    LineSelection part;
    part.characters = {Utf16Index(bytes, std::max(from, start) - start), Utf16Index(bytes, std::min(to, end) - start)};
    part.lineBreak = to > end && line + 1 < document.lineCount();
    return part;
}

int ContentWidthPx(std::size_t widestLineBytes, int averageCharWidthPx, int paintedPx, int marginPx)
{
    // A guess beyond any screen is cut to what a scroll range holds, before the product could wrap round.
    constexpr std::size_t kWidestPx = INT_MAX / 2;
    const auto average = static_cast<std::size_t>(std::max(0, averageCharWidthPx));
    const int guess =
        static_cast<int>(average != 0 && widestLineBytes > kWidestPx / average ? kWidestPx : widestLineBytes * average);
    return std::max(guess, paintedPx) + 2 * marginPx;
}

int CaretRoomPx(int averageCharWidthPx) { return averageCharWidthPx * 4; }

std::optional<int> OffsetShowingCaret(int caretX, int offsetPx, int viewWidthPx, int marginPx, int averageCharWidthPx)
{
    const int room = CaretRoomPx(averageCharWidthPx);
    if (caretX < offsetPx)
        return std::max(0, caretX - room);
    if (caretX - offsetPx > viewWidthPx - 2 * marginPx)
        return caretX - viewWidthPx + 2 * marginPx + room;
    return std::nullopt;
}

std::optional<std::string> NeedleFromSelection(const LogDocument& document)
{
    if (!document.hasSelection() ||
        document.lineOf(document.selectionStart()) != document.lineOf(document.selectionEnd()))
        return std::nullopt;
    return document.selectedText();
}

}  // namespace ovin::logview
