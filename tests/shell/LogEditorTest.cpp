#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DocumentOnLog.h"
#include "settings/EventLog.h"
#include "shell/LogDocument.h"
#include "shell/LogEditor.h"
#include "support/Fakes.h"

namespace ovin {
namespace {

using namespace test;

/// A front end of fixed-width characters, ten pixels each, that writes down what the editor told it.
class RecordingFrontEnd final : public LogEditorFrontEnd {
public:
    explicit RecordingFrontEnd(const LogDocument& doc) : m_doc(doc) {}

    int xOf(std::size_t pos) const override { return 10 * static_cast<int>(pos - m_doc.lineStart(m_doc.lineOf(pos))); }
    std::size_t positionAtX(std::size_t line, int x) const override
    {
        const std::size_t length = m_doc.lineEnd(line) - m_doc.lineStart(line);
        return m_doc.lineStart(line) + std::min<std::size_t>(static_cast<std::size_t>(x / 10), length);
    }
    std::size_t pageLines() const override { return page; }
    void scrollLines(long long lines) override { note("scroll" + std::to_string(lines)); }
    bool setClipboardText(std::string_view text) override
    {
        if (clipboardRefuses)
            return false;
        clipboard = text;
        return true;
    }
    std::string clipboardText() override { return clipboard; }
    void openFindBar() override { note("bar"); }
    std::string findNeedle() const override { return needle; }
    void showFound(bool found) override { note(found ? "found" : "missed"); }
    void revealCaret(bool extended) override { note(extended ? "extend" : "reveal"); }
    void allSelected() override { note("all"); }

    std::size_t page = 2;
    std::string clipboard;
    bool clipboardRefuses = false;
    std::string needle;
    /// What the editor told, in order, separated by blanks.
    std::string heard;

private:
    void note(const std::string& word) { heard += (heard.empty() ? "" : " ") + word; }
    const LogDocument& m_doc;
};

struct Editor : DocumentOnLog {
    explicit Editor(const std::string& text) : DocumentOnLog(text) {}

    RecordingFrontEnd frontEnd{doc};
    LogEditor editor{doc, frontEnd};
};

// "one two\r\nthree\r\nfour": "two" is 4..7, the first line break 7..9, "three" 9..14, "four" 16..20.
TEST(LogEditor, EveryCommandReachesTheDocumentAndTheFrontEnd)
{
    const std::string text = "one two\r\nthree\r\nfour";
    using C = EditorCommand;
    const struct {
        const char* name;
        C command;
        bool extend;
        std::size_t anchor, caret;
        const char* clipboard;  // before
        const char* needle;
        std::string expectedText;
        std::size_t expectedAnchor, expectedCaret;
        const char* expectedClipboard;
        const char* heard;
        bool clipboardRefuses = false;
    } cases[] = {
        {"nothing", C::Nothing, false, 2, 2, "", "", text, 2, 2, "", ""},
        {"select all, where the view stands", C::SelectAll, false, 2, 2, "", "", text, 0, 20, "", "all"},
        {"right", C::MoveRight, false, 2, 2, "", "", text, 3, 3, "", "reveal"},
        {"shift right extends", C::MoveRight, true, 2, 2, "", "", text, 2, 3, "", "extend"},
        {"backspace over a line break", C::DeleteBackward, false, 9, 9, "", "", "one twothree\r\nfour", 7, 7, "",
         "reveal"},
        {"delete takes the selection", C::DeleteForward, false, 0, 4, "", "", "two\r\nthree\r\nfour", 0, 0, "",
         "reveal"},
        {"enter breaks with CR LF", C::InsertLineBreak, false, 3, 3, "", "", "one\r\n two\r\nthree\r\nfour", 5, 5, "",
         "reveal"},
        {"copy", C::Copy, false, 4, 7, "x", "", text, 4, 7, "two", ""},
        {"copy with nothing selected", C::Copy, false, 4, 4, "x", "", text, 4, 4, "x", ""},
        {"cut", C::Cut, false, 7, 4, "x", "", "one \r\nthree\r\nfour", 4, 4, "two", "reveal"},
        {"a cut the clipboard refused keeps the text", C::Cut, false, 4, 7, "x", "", text, 4, 7, "x", "", true},
        {"paste with CR LF", C::Paste, false, 0, 0, "a\nb", "", "a\r\nbone two\r\nthree\r\nfour", 4, 4, "a\nb",
         "reveal"},
        {"paste of nothing", C::Paste, false, 4, 7, "", "", text, 4, 7, "", ""},
        {"find opens the bar", C::Find, false, 0, 0, "", "o", text, 0, 0, "", "bar"},
        {"find next", C::FindNext, false, 1, 1, "", "o", text, 6, 7, "", "reveal found"},
        {"find previous", C::FindPrevious, false, 7, 7, "", "o", text, 6, 7, "", "reveal found"},
        {"find next of what is not there", C::FindNext, false, 1, 1, "", "zz", text, 1, 1, "", "missed"},
        {"find next with nothing to find opens the bar", C::FindPrevious, false, 1, 1, "", "", text, 1, 1, "", "bar"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Editor e(text);
        e.doc.setSelection(c.anchor, c.caret);
        e.frontEnd.clipboard = c.clipboard;
        e.frontEnd.clipboardRefuses = c.clipboardRefuses;
        e.frontEnd.needle = c.needle;
        e.editor.run(c.command, c.extend);
        EXPECT_EQ(e.log.text(), c.expectedText);
        EXPECT_EQ(e.doc.anchor(), c.expectedAnchor);
        EXPECT_EQ(e.doc.caret(), c.expectedCaret);
        EXPECT_EQ(e.frontEnd.clipboard, c.expectedClipboard);
        EXPECT_EQ(e.frontEnd.heard, c.heard);
    }
}

// Up and down keep the column in pixels over shorter lines; any other move forgets it. Lines: "abcdef" 0..6,
// "ab" 8..10, "abcdef" 12..18, "" 20, "xyz" 22..25.
TEST(LogEditor, UpAndDownKeepTheColumn)
{
    const std::string text = "abcdef\r\nab\r\nabcdef\r\n\r\nxyz";
    using C = EditorCommand;
    constexpr C Up = C::LineUp;
    constexpr C Down = C::LineDown;
    const struct {
        std::size_t caret;
        bool extend;
        std::vector<C> commands;
        std::vector<std::size_t> carets;  // after each command
        std::size_t anchor;               // at the end
        const char* heard;
    } cases[] = {
        // Over a short line and back.
        {5, false, {Down, Down, Up, Up}, {10, 17, 10, 5}, 5, "reveal reveal reveal reveal"},
        // A move to the left forgets it.
        {5, false, {Down, C::MoveLeft, Down}, {10, 9, 13}, 13, "reveal reveal reveal"},
        // Over an empty line.
        {24, false, {Up, Up}, {20, 14}, 14, "reveal reveal"},
        // The first and the last line stop it.
        {3, false, {Up, C::DocumentEnd, Down}, {3, 25, 25}, 25, "reveal reveal reveal"},
        // A page scrolls the view by a page and keeps the column.
        {1, false, {C::PageDown, C::PageDown}, {13, 23}, 23, "scroll2 reveal scroll2 reveal"},
        {23, false, {C::PageUp}, {13}, 13, "scroll-2 reveal"},
        // Shift extends the selection.
        {5, true, {Down, Down}, {10, 17}, 5, "extend extend"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "from " << c.caret << " after " << c.commands.size() << " commands");
        Editor e(text);
        e.doc.setCaret(c.caret);
        std::vector<std::size_t> carets;
        for (const C command : c.commands) {
            e.editor.run(command, c.extend);
            carets.push_back(e.doc.caret());
        }
        EXPECT_EQ(carets, c.carets);
        EXPECT_EQ(e.doc.anchor(), c.anchor);
        EXPECT_EQ(e.frontEnd.heard, c.heard);
    }
}

TEST(LogEditor, TypingAndTheMouseForgetTheColumn)
{
    Editor typed("abcdef\r\nab\r\nabcdef");
    typed.doc.setCaret(5);
    typed.editor.run(EditorCommand::LineDown, false);
    typed.editor.insert("Z");
    EXPECT_EQ(typed.log.text(), "abcdef\r\nabZ\r\nabcdef");
    typed.editor.run(EditorCommand::LineDown, false);
    EXPECT_EQ(typed.doc.caret(), 16u);  // the column after "abZ", not the 5 of the first line

    Editor clicked("abcdef\r\nab\r\nabcdef");
    clicked.doc.setCaret(5);
    clicked.editor.run(EditorCommand::LineDown, false);
    clicked.doc.setCaret(9);
    clicked.editor.forgetColumn();
    clicked.editor.run(EditorCommand::LineDown, false);
    EXPECT_EQ(clicked.doc.caret(), 13u);
}

}  // namespace
}  // namespace ovin
