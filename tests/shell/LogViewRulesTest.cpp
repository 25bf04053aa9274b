#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "DocumentOnLog.h"
#include "shell/LogDocument.h"
#include "shell/LogMouseSelection.h"
#include "shell/LogViewRules.h"

namespace ovin {
namespace {

using namespace test;
using logview::EditorKey;
using logview::LineSelection;
using logview::Utf16Span;

using Doc = DocumentOnLog;

TEST(LogViewKeys, EachKeyGivesItsCommandWithShiftBeforeCtrl)
{
    const std::optional<EditorCommand> none;
    const struct {
        EditorKey key;
        bool ctrl, shift;
        std::optional<EditorCommand> command;
    } cases[] = {
        {EditorKey::F3, false, false, EditorCommand::FindNext},
        {EditorKey::F3, true, false, EditorCommand::FindNext},
        {EditorKey::F3, false, true, EditorCommand::FindPrevious},
        {EditorKey::Left, false, false, EditorCommand::MoveLeft},
        {EditorKey::Left, true, false, EditorCommand::WordLeft},
        // Shift only extends the selection of a move; the move is the same.
        {EditorKey::Right, true, true, EditorCommand::WordRight},
        {EditorKey::Up, true, false, EditorCommand::LineUp},
        {EditorKey::PageDown, false, true, EditorCommand::PageDown},
        {EditorKey::Home, false, false, EditorCommand::LineStart},
        {EditorKey::Home, true, false, EditorCommand::DocumentStart},
        {EditorKey::End, true, true, EditorCommand::DocumentEnd},
        {EditorKey::Backspace, true, false, EditorCommand::DeleteBackward},
        {EditorKey::Delete, false, false, EditorCommand::DeleteForward},
        {EditorKey::Delete, false, true, EditorCommand::Cut},
        {EditorKey::Delete, true, true, EditorCommand::Cut},
        {EditorKey::Insert, false, false, EditorCommand::Nothing},
        {EditorKey::Insert, true, false, EditorCommand::Copy},
        {EditorKey::Insert, false, true, EditorCommand::Paste},
        {EditorKey::Return, false, true, EditorCommand::InsertLineBreak},
        // Letters type themselves unless Ctrl is down.
        {EditorKey::A, false, false, none},
        {EditorKey::A, false, true, none},
        {EditorKey::A, true, false, EditorCommand::SelectAll},
        {EditorKey::C, true, false, EditorCommand::Copy},
        {EditorKey::X, true, false, EditorCommand::Cut},
        {EditorKey::V, true, false, EditorCommand::Paste},
        {EditorKey::F, true, false, EditorCommand::Find},
    };
    for (const auto& c : cases)
        EXPECT_EQ(logview::CommandOfKey(c.key, c.ctrl, c.shift), c.command)
            << static_cast<int>(c.key) << " ctrl " << c.ctrl << " shift " << c.shift;
}

TEST(LogViewFind, MatchesAreCountedInUtf16UnitsAndNeverOverlap)
{
    const struct {
        const char* line;
        const char* needle;
        std::vector<Utf16Span> spans;
    } cases[] = {
        {"Trovan spusten", "spusten", {{7, 14}}},
        {"aaaa", "aa", {{0, 2}, {2, 4}}},
        {"aaa", "aa", {{0, 2}}},
        {"abc", "", {}},
        {"abc", "abcd", {}},
        // A Czech letter is two bytes and one unit; a character outside the basic plane is four bytes and two.
        {"čáp čáp", "áp", {{1, 3}, {5, 7}}},
        {"\xF0\x9F\x90\x95 pes \xF0\x9F\x90\x95", "pes", {{3, 6}}},
        {"\xF0\x9F\x90\x95\xF0\x9F\x90\x95", "\xF0\x9F\x90\x95", {{0, 2}, {2, 4}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(logview::MatchSpans(c.line, c.needle), c.spans) << c.line << " / " << c.needle;
}

TEST(LogViewSelection, EachLineShowsItsPartAndItsBreak)
{
    // "ab\r\nčd\r\nef": line 0 is 0..2 with its break 2..4, line 1 is 4..7 ("č" is two bytes), line 2 is 9..11.
    Doc d("ab\r\n\xC4\x8D"
          "d\r\nef");
    const std::optional<LineSelection> none;
    const struct {
        std::size_t anchor, caret, line;
        std::optional<LineSelection> part;
    } cases[] = {
        {1, 1, 0, none},
        {0, 1, 0, LineSelection{{0, 1}, false}},
        {1, 0, 0, LineSelection{{0, 1}, false}},
        // Across a break: the break shows on the line it ends.
        {1, 6, 0, LineSelection{{1, 2}, true}},
        {1, 6, 1, LineSelection{{0, 1}, false}},
        {1, 7, 1, LineSelection{{0, 2}, false}},
        {1, 9, 1, LineSelection{{0, 2}, true}},
        // Only the break of line 0: no characters, but the room after them.
        {2, 4, 0, LineSelection{{2, 2}, true}},
        // A selection that ends where a line starts leaves that line alone, one that starts there does not.
        {0, 4, 1, none},
        {4, 6, 1, LineSelection{{0, 1}, false}},
        {4, 6, 0, none},
        {0, 4, 2, none},
        // The last line has no break to show, even with everything selected.
        {0, 11, 2, LineSelection{{0, 2}, false}},
        {11, 0, 1, LineSelection{{0, 2}, true}},
    };
    for (const auto& c : cases) {
        d.doc.setSelection(c.anchor, c.caret);
        EXPECT_EQ(logview::SelectedPart(d.doc, c.line), c.part) << c.anchor << ".." << c.caret << " on line " << c.line;
    }
}

TEST(LogViewFind, TheBarOpensWithASelectionOnOneLineOnly)
{
    Doc d("one two\r\nthree");
    const struct {
        std::size_t anchor, caret;
        std::optional<std::string> needle;
    } cases[] = {
        {4, 7, "two"},
        {7, 4, "two"},
        {3, 3, std::nullopt},
        {4, 9, std::nullopt},
        {0, 14, std::nullopt},
        {9, 14, "three"},
        // A selection that ends at the break is still on its line.
        {0, 7, "one two"},
    };
    for (const auto& c : cases) {
        d.doc.setSelection(c.anchor, c.caret);
        EXPECT_EQ(logview::NeedleFromSelection(d.doc), c.needle) << c.anchor << ".." << c.caret;
    }
}

TEST(LogViewWidth, TheGuessFromBytesGivesWayToPaintedWidthsAndNeverOverflows)
{
    const struct {
        std::size_t widestBytes;
        int averageCharWidth, paintedPx, marginPx, width;
    } cases[] = {
        {0, 5, 0, 2, 4},
        {10, 5, 0, 2, 54},
        {10, 5, 80, 2, 84},
        {10, 5, 30, 3, 56},
        {SIZE_MAX / 2, 5, 0, 2, INT_MAX / 2 + 4},
        // A product that would wrap round to nothing.
        {SIZE_MAX / 8 + 1, 8, 0, 2, INT_MAX / 2 + 4},
        {100, 0, 7, 2, 11},
    };
    for (const auto& c : cases)
        EXPECT_EQ(logview::ContentWidthPx(c.widestBytes, c.averageCharWidth, c.paintedPx, c.marginPx), c.width)
            << c.widestBytes << " bytes, " << c.paintedPx << " painted";
}

TEST(LogViewScrolling, TheCaretIsShownWithRoomBesideIt)
{
    // Average characters 5 pixels wide keep 20 pixels of room; the view is 200 wide with margins of 2.
    const std::optional<int> stays;
    const struct {
        int caretX, offset;
        std::optional<int> to;
    } cases[] = {
        {0, 0, stays},     {196, 0, stays}, {197, 0, 21}, {400, 100, 224},
        {296, 100, stays}, {99, 100, 79},   {10, 100, 0}, {100, 100, stays},
    };
    for (const auto& c : cases)
        EXPECT_EQ(logview::OffsetShowingCaret(c.caretX, c.offset, 200, 2, 5), c.to)
            << "caret at " << c.caretX << ", scrolled by " << c.offset;
}

TEST(LogMouseSelection, DraggingExtendsByCharactersOrAfterADoubleClickByWords)
{
    // "one two three\r\nfour": "two" is 4..7, "three" 8..13, "four" 15..19.
    Doc d("one two three\r\nfour");
    LogMouseSelection mouse(d.doc);
    EXPECT_EQ(mouse.dragTarget(5), std::nullopt) << "a move without a press selects nothing";
    EXPECT_FALSE(mouse.release());

    const struct {
        bool doubleClick;
        std::size_t at, dragTo;
        std::size_t anchor, caret;
    } cases[] = {
        {false, 5, 10, 5, 10},
        {false, 10, 5, 10, 5},
        {true, 5, 10, 4, 13},
        // The anchor stays where the word started.
        {true, 5, 1, 4, 0},
        {true, 10, 16, 8, 19},
        {true, 10, 5, 8, 4},
        // Back onto the word it started on: the word stays whole.
        {true, 5, 6, 4, 7},
    };
    for (const auto& c : cases) {
        if (c.doubleClick)
            mouse.doubleClick(c.at);
        else
            mouse.press(c.at, false);
        const std::optional<std::size_t> target = mouse.dragTarget(c.dragTo);
        ASSERT_TRUE(target) << c.at;
        d.doc.setCaret(*target, true);
        EXPECT_EQ(d.doc.anchor(), c.anchor) << c.at << " to " << c.dragTo;
        EXPECT_EQ(d.doc.caret(), c.caret) << c.at << " to " << c.dragTo;
        EXPECT_TRUE(mouse.release());
        EXPECT_EQ(mouse.dragTarget(c.dragTo), std::nullopt);
    }

    // Shift with the press keeps the anchor where the caret was.
    d.doc.setCaret(2);
    mouse.press(9, true);
    EXPECT_EQ(d.doc.selectionStart(), 2u);
    EXPECT_EQ(d.doc.selectionEnd(), 9u);
}

}  // namespace
}  // namespace ovin
