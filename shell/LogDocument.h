#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/EventLog.h"
#include "shell/EditorCommand.h"

namespace ovin {

/// What the log view's document tells the view that paints it.
class LogDocumentView {
public:
    virtual ~LogDocumentView() = default;

    /// The whole text was replaced; the caret is at its end.
    virtual void documentReplaced() = 0;
    /// Lines were added at the end; `caretMoved` when the caret, which was at the end, moved with it.
    virtual void documentAppended(bool caretMoved) = 0;
    /// A part of the text was replaced (an edit of the user's, through the log).
    virtual void documentEdited() = 0;
};

/// The log view's document (`Memo1` without its pixels): the Event log's own text, an index of where each
/// line starts kept by the log's change notices, the caret and the selection, the edits that go into the log
/// at once, and find. It keeps no copy of the text. Positions are byte offsets into the UTF-8 text, never
/// inside a character or a CR LF.
class LogDocument final : public LogObserver {
public:
    /// Observes `log` for its whole life; `view` hears of every change.
    LogDocument(EventLog& log, LogDocumentView& view);
    ~LogDocument() override;
    LogDocument(const LogDocument&) = delete;
    LogDocument& operator=(const LogDocument&) = delete;

    // LogObserver
    void logAppended(std::string_view added) override;
    void logEdited(std::size_t pos, std::size_t removed, std::size_t inserted) override;
    void logReplaced() override;

    const std::string& text() const { return m_log.text(); }
    std::size_t lineCount() const { return m_lineStarts.size(); }
    std::size_t lineStart(std::size_t line) const { return m_lineStarts[line]; }
    /// Where the line's characters end, before its line break.
    std::size_t lineEnd(std::size_t line) const;
    std::size_t lineOf(std::size_t pos) const;
    /// The line's characters, without its break.
    std::string_view lineBytes(std::size_t line) const;
    /// The longest line seen, in bytes; a first guess of the width the view needs.
    std::size_t widestLineBytes() const { return m_widestLineBytes; }

    std::size_t caret() const { return m_caret; }
    std::size_t anchor() const { return m_anchor; }
    std::size_t selectionStart() const { return m_caret < m_anchor ? m_caret : m_anchor; }
    std::size_t selectionEnd() const { return m_caret < m_anchor ? m_anchor : m_caret; }
    bool hasSelection() const { return m_caret != m_anchor; }
    std::string selectedText() const;
    /// Moves the caret (within the text); without `keepAnchor` the selection goes.
    void setCaret(std::size_t pos, bool keepAnchor = false);
    void setSelection(std::size_t anchor, std::size_t caret);
    void selectAll();

    /// The position one character after (before) `pos`; a CR LF counts as one.
    std::size_t nextPos(std::size_t pos) const;
    std::size_t prevPos(std::size_t pos) const;
    /// The start and the end of the word around `pos`, within its line.
    std::size_t wordStart(std::size_t pos) const;
    std::size_t wordEnd(std::size_t pos) const;

    /// Where a caret move that needs no pixels takes the caret (left, right, word, line and document ends); none
    /// for any other command. Left and right without `extend` collapse a selection to its start or end.
    std::optional<std::size_t> moveTarget(EditorCommand command, bool extend) const;

    /// Replaces the selection by `text`, in the log at once (any line breaks become CR LF); the caret ends
    /// after it.
    void insertText(std::string_view text);
    /// Backspace and Delete: the selection, or the character before (after) the caret.
    void removeBackward();
    void removeForward();

    /// Selects the next (or previous) match of `needle` after (before) the caret, wrapping round; false when
    /// the text holds none.
    bool findNext(std::string_view needle, bool backward = false);

private:
    void rebuildIndex();
    void indexBreaks(std::size_t from, std::size_t to, std::vector<std::size_t>& starts);
    void noteLineWidth(std::size_t line);

    EventLog& m_log;
    LogDocumentView& m_view;
    // m_lineStarts[i] is where line i begins; line 0 begins at 0.
    std::vector<std::size_t> m_lineStarts{0};
    std::size_t m_widestLineBytes = 0;
    std::size_t m_caret = 0;
    std::size_t m_anchor = 0;
};

/// True for a byte that is part of a word: a letter or digit, "_", or any byte of a multi-byte character.
bool IsWordByte(char c);

/// UTF-16 units before byte `offset` of a UTF-8 line, as both front ends' text functions count them.
int Utf16Index(std::string_view line, std::size_t offset);
/// The byte offset of UTF-16 unit `index` of a UTF-8 line.
std::size_t Utf8Offset(std::string_view line, int index);

}  // namespace ovin
