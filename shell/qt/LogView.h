#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "settings/EventLog.h"

class QTextLayout;

namespace ovin {

class FindBar;

/// The log view (`Memo1`): an editor over the Event log's own text. It keeps
/// no copy of the text, only where each line starts, and decodes just the
/// lines on the screen, so a month of log costs little more than the text.
/// What the user types goes into the log at once.
class LogView final : public QAbstractScrollArea, public LogObserver {
    Q_OBJECT
public:
    LogView(EventLog& log, QWidget* parent);
    ~LogView() override;

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
    QString lineText(std::size_t line) const;

    /// Byte offsets into the text; never inside a character or a CR LF.
    std::size_t caret() const { return m_caret; }
    std::size_t selectionStart() const { return std::min(m_caret, m_anchor); }
    std::size_t selectionEnd() const { return std::max(m_caret, m_anchor); }
    bool hasSelection() const { return m_caret != m_anchor; }
    std::string selectedText() const;
    void setCaret(std::size_t pos, bool keepAnchor = false);
    void setSelection(std::size_t anchor, std::size_t caret);
    void selectAll();

    /// Replaces the selection by `text` (any line breaks become CR LF).
    void insertText(std::string_view text);

    int firstVisibleLine() const;
    int visibleLineCount() const;
    /// True while the view follows new lines at the end of the log.
    bool followsEnd() const { return m_follow; }

    /// The caret's rectangle and the text position under a point, both in the
    /// viewport's coordinates.
    QRect caretRect() const;
    std::size_t positionAt(QPoint point) const;
    QRect characterRect(std::size_t pos) const;

    FindBar* findBar() const { return m_findBar; }
    void openFindBar();
    /// Selects the next (or previous) match of `needle` after (before) the
    /// caret, wrapping round; false when the text holds none.
    bool findNext(const QString& needle, bool backward = false);
    /// Matches of this text are highlighted in the visible lines.
    void setHighlight(const QString& needle);

signals:
    void caretMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool event(QEvent* event) override;

private:
    void rebuildIndex();
    void indexBreaks(std::size_t from, std::size_t to, std::vector<std::size_t>& starts);
    void noteLineWidth(std::size_t line);
    void updateScrollBars();
    void ensureCaretVisible();
    void restartBlink();
    void caretChanged();
    void placeFindBar();
    void exportPrimarySelection();

    std::string_view lineBytes(std::size_t line) const;
    void layoutLine(QTextLayout& layout, std::size_t line) const;
    int lineHeight() const;
    int textLeft() const;

    std::size_t nextPos(std::size_t pos) const;
    std::size_t prevPos(std::size_t pos) const;
    std::size_t wordStart(std::size_t pos) const;
    std::size_t wordEnd(std::size_t pos) const;
    std::size_t verticalMove(std::size_t pos, int lines);

    void copyToClipboard(bool cut);
    void paste(bool fromPrimary);
    void removeBackward();
    void removeForward();

    EventLog& m_log;
    // m_lineStarts[i] is where line i begins; line 0 begins at 0.
    std::vector<std::size_t> m_lineStarts{0};
    std::size_t m_widestLineBytes = 0;
    int m_widthPx = 0;
    std::size_t m_caret = 0;
    std::size_t m_anchor = 0;
    int m_goalX = -1;
    bool m_follow = true;
    bool m_caretOn = true;
    bool m_selectingWords = false;
    bool m_mouseSelecting = false;
    QBasicTimer m_blink;
    QString m_highlight;
    FindBar* m_findBar = nullptr;
};

}  // namespace ovin
