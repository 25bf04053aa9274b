#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "settings/EventLog.h"
#include "shell/LogDocument.h"
#include "shell/LogEditor.h"
#include "shell/LogMouseSelection.h"

class QTextLayout;

namespace ovin {

class FindBar;

/// The log view (`Memo1`): paints the log's document (`LogDocument`, which
/// keeps the line index, the caret, the selection, the edits and find) and
/// turns keys into its editor's commands (`LogEditor`). It decodes just the
/// lines on the screen, so a month of log costs little more than the text.
class LogView final : public QAbstractScrollArea, private LogDocumentView, private LogEditorFrontEnd {
    Q_OBJECT
public:
    LogView(EventLog& log, QWidget* parent);
    ~LogView() override;

    const std::string& text() const { return m_doc.text(); }
    std::size_t lineCount() const { return m_doc.lineCount(); }
    std::size_t lineStart(std::size_t line) const { return m_doc.lineStart(line); }
    std::size_t lineEnd(std::size_t line) const { return m_doc.lineEnd(line); }
    std::size_t lineOf(std::size_t pos) const { return m_doc.lineOf(pos); }
    QString lineText(std::size_t line) const;

    /// Byte offsets into the text; never inside a character or a CR LF.
    std::size_t caret() const { return m_doc.caret(); }
    std::size_t selectionStart() const { return m_doc.selectionStart(); }
    std::size_t selectionEnd() const { return m_doc.selectionEnd(); }
    bool hasSelection() const { return m_doc.hasSelection(); }
    std::string selectedText() const { return m_doc.selectedText(); }
    void setCaret(std::size_t pos, bool keepAnchor = false);
    void setSelection(std::size_t anchor, std::size_t caret);
    void selectAll();

    /// Replaces the selection by `text` (any line breaks become CR LF).
    void insertText(std::string_view text);

    int firstVisibleLine() const;
    int visibleLineCount() const;

    /// The caret's rectangle and the text position under a point, both in the
    /// viewport's coordinates.
    QRect caretRect() const;
    std::size_t positionAt(QPoint point) const;
    QRect characterRect(std::size_t pos) const;

    FindBar* findBar() const { return m_findBar; }
    void openFindBar() override;
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
    // LogDocumentView
    void documentReplaced() override;
    void documentAppended(bool caretMoved) override;
    void documentEdited() override;

    // LogEditorFrontEnd
    int xOf(std::size_t pos) const override;
    std::size_t positionAtX(std::size_t line, int x) const override;
    std::size_t pageLines() const override;
    void scrollLines(long long lines) override;
    bool setClipboardText(std::string_view text) override;
    std::string clipboardText() override;
    std::string findNeedle() const override;
    void showFound(bool found) override;
    void revealCaret(bool extended) override;
    void allSelected() override;

    void updateScrollBars();
    void ensureCaretVisible();
    void restartBlink();
    void caretChanged();
    void placeFindBar();
    void exportPrimarySelection();

    std::string_view lineBytes(std::size_t line) const { return m_doc.lineBytes(line); }
    void layoutLine(QTextLayout& layout, std::size_t line) const;
    int lineHeight() const;
    int textLeft() const;

    void pastePrimarySelection();

    LogDocument m_doc;
    LogEditor m_editor{m_doc, *this};
    LogMouseSelection m_mouse{m_doc};
    int m_widthPx = 0;
    bool m_follow = true;
    bool m_caretOn = true;
    QBasicTimer m_blink;
    QString m_highlight;
    FindBar* m_findBar = nullptr;
};

}  // namespace ovin
