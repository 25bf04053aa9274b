#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/EventLog.h"
#include "shell/LogDocument.h"
#include "support/Fakes.h"

namespace ovin {
namespace {

using namespace test;

class CountingView final : public LogDocumentView {
public:
    void documentReplaced() override { ++replaced; }
    void documentAppended(bool caretMoved) override { appended.push_back(caretMoved); }
    void documentEdited() override { ++edited; }
    int replaced = 0;
    std::vector<bool> appended;
    int edited = 0;
};

struct Doc {
    explicit Doc(const std::string& text = {})
    {
        if (!text.empty())
            log.editText(0, 0, text);
    }
    // The index the document keeps must equal one built afresh from the text.
    std::vector<std::size_t> freshStarts() const
    {
        std::vector<std::size_t> starts{0};
        for (std::size_t i = 0; i < doc.text().size(); ++i)
            if (doc.text()[i] == '\n')
                starts.push_back(i + 1);
        return starts;
    }
    std::vector<std::size_t> keptStarts() const
    {
        std::vector<std::size_t> starts;
        for (std::size_t l = 0; l < doc.lineCount(); ++l)
            starts.push_back(doc.lineStart(l));
        return starts;
    }

    FakeClock clock;
    FakeFileSystem files;
    EventLog log{files, clock, "/app/"};
    CountingView view;
    LogDocument doc{log, view};
};

TEST(LogDocument, TheIndexFollowsTheLogsChangeNotices)
{
    Doc d("a\r\nbb\r\nccc");
    EXPECT_EQ(d.keptStarts(), d.freshStarts());
    const struct {
        std::size_t pos, removed;
        const char* inserted;
    } edits[] = {{1, 0, "x\r\ny"}, {0, 4, ""}, {2, 3, "\r\n\r\n"}, {0, 0, "start\r\n"}};
    for (const auto& e : edits) {
        d.log.editText(e.pos, e.removed, e.inserted);
        EXPECT_EQ(d.keptStarts(), d.freshStarts()) << d.doc.text();
    }
    d.log.AddLogLine("added");
    EXPECT_EQ(d.keptStarts(), d.freshStarts());
    EXPECT_EQ(d.view.edited, 1 + 4);  // the text the rig starts with came as an edit too
    EXPECT_EQ(d.view.appended.size(), 1u);
}

TEST(LogDocument, LinesEndBeforeTheirBreak)
{
    Doc d("ab\r\n\r\ncd");
    ASSERT_EQ(d.doc.lineCount(), 3u);
    EXPECT_EQ(d.doc.lineBytes(0), "ab");
    EXPECT_EQ(d.doc.lineBytes(1), "");
    EXPECT_EQ(d.doc.lineBytes(2), "cd");
    EXPECT_EQ(d.doc.lineOf(3), 0u);
    EXPECT_EQ(d.doc.lineOf(4), 1u);
    EXPECT_EQ(d.doc.lineOf(8), 2u);
}

TEST(LogDocument, TheCaretAtTheEndFollowsNewLines)
{
    Doc d("a\r\n");
    d.doc.setCaret(d.doc.text().size());
    d.log.AddLogLine("x");
    EXPECT_EQ(d.view.appended.back(), true);
    EXPECT_EQ(d.doc.caret(), d.doc.text().size());
    d.doc.setCaret(0);
    d.log.AddLogLine("y");
    EXPECT_EQ(d.view.appended.back(), false);
    EXPECT_EQ(d.doc.caret(), 0u);
}

TEST(LogDocument, CaretMoves)
{
    //            0123 4 5 6789012 3
    Doc d("ab č\r\n  dd_e");  // "č" takes two bytes
    const std::size_t end = d.doc.text().size();
    const struct {
        std::size_t anchor, caret;
        EditorCommand command;
        bool extend;
        std::size_t to;
    } cases[] = {
        {5, 5, EditorCommand::MoveLeft, false, 3},  // over a two-byte letter
        {7, 7, EditorCommand::MoveLeft, false, 5},  // over CR LF
        {5, 5, EditorCommand::MoveRight, false, 7},
        {2, 5, EditorCommand::MoveLeft, false, 2},  // a selection collapses to its start
        {2, 5, EditorCommand::MoveRight, false, 5},
        {2, 5, EditorCommand::MoveLeft, true, 3},
        {12, 12, EditorCommand::WordLeft, false, 9},
        {0, 0, EditorCommand::WordRight, false, 2},
        {2, 2, EditorCommand::WordRight, false, 5},
        {5, 5, EditorCommand::WordRight, false, end},  // over the break and the blanks to the word's end
        {10, 10, EditorCommand::LineStart, false, 7},
        {1, 1, EditorCommand::LineEnd, false, 5},
        {10, 10, EditorCommand::DocumentStart, false, 0},
        {0, 0, EditorCommand::DocumentEnd, false, end},
    };
    for (const auto& c : cases) {
        d.doc.setSelection(c.anchor, c.caret);
        EXPECT_EQ(d.doc.moveTarget(c.command, c.extend), c.to) << static_cast<int>(c.command) << " from " << c.caret;
    }
    EXPECT_EQ(d.doc.moveTarget(EditorCommand::LineUp, false), std::nullopt);
}

TEST(LogDocument, EditsGoIntoTheLogWithCrLf)
{
    Doc d("abc");
    d.doc.setSelection(1, 2);
    d.doc.insertText("x\ny\rz\r\n");
    EXPECT_EQ(d.log.text(), "ax\r\ny\r\nz\r\nc");
    EXPECT_EQ(d.doc.caret(), 10u);
    d.doc.removeBackward();  // the CR LF before the caret goes whole
    EXPECT_EQ(d.log.text(), "ax\r\ny\r\nzc");
    d.doc.setCaret(2);
    d.doc.removeForward();
    EXPECT_EQ(d.log.text(), "axy\r\nzc");
    d.doc.setSelection(0, 3);
    EXPECT_EQ(d.doc.selectedText(), "axy");
    d.doc.removeForward();
    EXPECT_EQ(d.log.text(), "\r\nzc");
}

TEST(LogDocument, FindWrapsRoundBothWays)
{
    Doc d("one two one two");
    d.doc.setCaret(0);
    const struct {
        bool backward;
        std::size_t at;
    } steps[] = {{false, 4}, {false, 12}, {false, 4}, {true, 12}, {true, 4}};
    for (const auto& s : steps) {
        ASSERT_TRUE(d.doc.findNext("two", s.backward));
        EXPECT_EQ(d.doc.selectionStart(), s.at);
        EXPECT_EQ(d.doc.selectionEnd(), s.at + 3);
    }
    EXPECT_FALSE(d.doc.findNext("three"));
    EXPECT_FALSE(d.doc.findNext(""));
}

TEST(LogDocument, Utf16Offsets)
{
    const std::string line = "ač😀b";  // 1 + 2 + 4 + 1 bytes; the emoji takes two UTF-16 units
    const struct {
        std::size_t byte;
        int unit;
    } cases[] = {{0, 0}, {1, 1}, {3, 2}, {7, 4}, {8, 5}};
    for (const auto& c : cases) {
        EXPECT_EQ(Utf16Index(line, c.byte), c.unit) << c.byte;
        EXPECT_EQ(Utf8Offset(line, c.unit), c.byte) << c.unit;
    }
}

}  // namespace
}  // namespace ovin
