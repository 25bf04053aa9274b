#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "shell/EditorCommand.h"

namespace ovin {

class LogDocument;

/// What the log view's editor needs of the front end that shows the document: the pixels of its lines, its
/// scrolling, the clipboard and the find bar, and a word whenever the caret or the selection has moved.
class LogEditorFrontEnd {
public:
    virtual ~LogEditorFrontEnd() = default;

    /// Pixels from the start of the position's line to the position.
    virtual int xOf(std::size_t pos) const = 0;
    /// The position in `line` that a click `x` pixels from the line's start would put the caret at.
    virtual std::size_t positionAtX(std::size_t line, int x) const = 0;
    /// How many whole lines the view shows, at least one: how far Page Up and Page Down go.
    virtual std::size_t pageLines() const = 0;
    /// Scrolls by `lines` (up when negative) without moving the caret; the view stops at the text's ends.
    virtual void scrollLines(long long lines) = 0;

    /// Puts `text` on the clipboard; false when the clipboard would not take it.
    virtual bool setClipboardText(std::string_view text) = 0;
    /// The clipboard's text; empty when it holds none.
    virtual std::string clipboardText() = 0;

    virtual void openFindBar() = 0;
    /// What the find bar looks for; empty when it has nothing yet.
    virtual std::string findNeedle() const = 0;
    /// Whether the last search from the keys found anything.
    virtual void showFound(bool found) = 0;

    /// The caret moved, by a key, an edit or a find: show it and scroll it into view. `extended` when Shift
    /// with a caret key changed the selection.
    virtual void revealCaret(bool extended) = 0;
    /// Everything was selected: show it where the view stands.
    virtual void allSelected() = 0;
};

/// The log view's editor: runs the commands a front end's keys map to on the shared document, asking the front
/// end only for pixels, scrolling, the clipboard and the find bar. It keeps the column that up and down hold
/// from one line to the next.
class LogEditor final {
public:
    LogEditor(LogDocument& document, LogEditorFrontEnd& frontEnd);
    LogEditor(const LogEditor&) = delete;
    LogEditor& operator=(const LogEditor&) = delete;

    /// Runs one command; `extend` (Shift) makes a caret move extend the selection.
    void run(EditorCommand command, bool extend);
    /// Replaces the selection by typed or pasted text, in the log at once (line breaks become CR LF).
    void insert(std::string_view text);
    /// Selects the next (previous) match of `needle` after (before) the caret, wrapping round; false when the
    /// text holds none.
    bool find(std::string_view needle, bool backward);
    /// The caret was put somewhere by other means (the mouse): up and down start from its own column again.
    void forgetColumn() { m_goalX.reset(); }

private:
    void moveCaret(EditorCommand command, bool extend);
    std::size_t verticalTarget(long long lines);
    void copy(bool cut);
    void afterEdit();

    LogDocument& m_document;
    LogEditorFrontEnd& m_frontEnd;
    std::optional<int> m_goalX;
};

}  // namespace ovin
