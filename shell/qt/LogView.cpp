#include "LogView.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextLayout>

#include <algorithm>
#include <cstring>
#include <functional>

#include "FindBar.h"
#include "LogViewAccessible.h"
#include "shell/MainWindow.h"

namespace ovin {

namespace {

constexpr int kMarginPx = 2;
// A selection larger than this is not offered as the X primary selection on
// every change: the whole log selected would cost twice its size in memory.
constexpr std::size_t kPrimarySelectionMaxBytes = std::size_t{16} << 20;

// Every match of `needle` in `line`, as UTF-16 ranges of the decoded line.
template <typename F>
void forEachMatch(std::string_view line, std::string_view needle, F&& f)
{
    if (needle.empty())
        return;
    for (std::size_t at = line.find(needle); at != std::string_view::npos; at = line.find(needle, at + needle.size())) {
        const int from = Utf16Index(line, at);
        f(from, Utf16Index(line, at + needle.size()) - from);
    }
}

// The editor's keys. The platform's standard sequences come first (they differ between desktops); then each key
// gives its command, with Shift or Ctrl where that changes it. Shift with a caret move extends the selection.
struct StandardKeyRow {
    QKeySequence::StandardKey sequence;
    EditorCommand command;
};
constexpr StandardKeyRow kStandardKeys[] = {
    {QKeySequence::SelectAll, EditorCommand::SelectAll},
    {QKeySequence::Copy, EditorCommand::Copy},
    {QKeySequence::Cut, EditorCommand::Cut},
    {QKeySequence::Paste, EditorCommand::Paste},
    {QKeySequence::Find, EditorCommand::Find},
};

struct KeyRow {
    int key;
    EditorCommand plain;
    EditorCommand withCtrl;
    std::optional<EditorCommand> withShift;  // before Ctrl
};
constexpr KeyRow kKeys[] = {
    {Qt::Key_F3, EditorCommand::FindNext, EditorCommand::FindNext, EditorCommand::FindPrevious},
    {Qt::Key_Left, EditorCommand::MoveLeft, EditorCommand::WordLeft, std::nullopt},
    {Qt::Key_Right, EditorCommand::MoveRight, EditorCommand::WordRight, std::nullopt},
    {Qt::Key_Up, EditorCommand::LineUp, EditorCommand::LineUp, std::nullopt},
    {Qt::Key_Down, EditorCommand::LineDown, EditorCommand::LineDown, std::nullopt},
    {Qt::Key_PageUp, EditorCommand::PageUp, EditorCommand::PageUp, std::nullopt},
    {Qt::Key_PageDown, EditorCommand::PageDown, EditorCommand::PageDown, std::nullopt},
    {Qt::Key_Home, EditorCommand::LineStart, EditorCommand::DocumentStart, std::nullopt},
    {Qt::Key_End, EditorCommand::LineEnd, EditorCommand::DocumentEnd, std::nullopt},
    {Qt::Key_Backspace, EditorCommand::DeleteBackward, EditorCommand::DeleteBackward, std::nullopt},
    {Qt::Key_Delete, EditorCommand::DeleteForward, EditorCommand::DeleteForward, EditorCommand::Cut},
    {Qt::Key_Insert, EditorCommand::Nothing, EditorCommand::Copy, EditorCommand::Paste},
    {Qt::Key_Return, EditorCommand::InsertLineBreak, EditorCommand::InsertLineBreak, std::nullopt},
    {Qt::Key_Enter, EditorCommand::InsertLineBreak, EditorCommand::InsertLineBreak, std::nullopt},
};

std::optional<EditorCommand> commandOf(QKeyEvent& event)
{
    for (const StandardKeyRow& row : kStandardKeys) {
        if (event.matches(row.sequence))
            return row.command;
    }
    const bool shift = event.modifiers() & Qt::ShiftModifier;
    const bool ctrl = event.modifiers() & Qt::ControlModifier;
    for (const KeyRow& row : kKeys) {
        if (event.key() != row.key)
            continue;
        if (shift && row.withShift)
            return *row.withShift;
        return ctrl ? row.withCtrl : row.plain;
    }
    return std::nullopt;
}

}  // namespace

LogView::LogView(EventLog& log, QWidget* parent) : QAbstractScrollArea(parent), m_doc(log, *this)
{
    setObjectName(QStringLiteral("Memo1"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::IBeamCursor);
    QPalette pal = palette();
    const MainWindowLook& look = kMainWindowLook;
    pal.setColor(QPalette::Base, QColor(look.logBackground.red, look.logBackground.green, look.logBackground.blue));
    setPalette(pal);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    setFont(QFont(QString::fromUtf8(look.logFontName), look.logFontPt));
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int v) { m_follow = v >= verticalScrollBar()->maximum(); });

    m_findBar = new FindBar(this);
    m_findBar->hide();
    connect(m_findBar, &FindBar::findRequested, this,
            [this](const QString& needle, bool backward) { m_findBar->setFound(findNext(needle, backward)); });
    connect(m_findBar, &FindBar::needleChanged, this, &LogView::setHighlight);
    connect(m_findBar, &FindBar::closed, this, [this] {
        setViewportMargins(0, 0, 0, 0);
        setHighlight(QString());
        setFocus();
    });

    LogViewAccessible::installFactory();
    documentReplaced();
}

LogView::~LogView() = default;

// ---- the document's notices ------------------------------------------------

void LogView::documentReplaced()
{
    // Opened on a month of log, the view shows its end.
    m_follow = true;
    updateScrollBars();
    caretChanged();
    viewport()->update();
}

void LogView::documentAppended(bool caretMoved)
{
    updateScrollBars();
    if (caretMoved)
        caretChanged();
    viewport()->update();
}

void LogView::documentEdited()
{
    updateScrollBars();
    viewport()->update();
}

QString LogView::lineText(std::size_t line) const
{
    const std::string_view bytes = lineBytes(line);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// ---- geometry --------------------------------------------------------------

int LogView::lineHeight() const { return std::max(1, fontMetrics().lineSpacing()); }

int LogView::textLeft() const { return kMarginPx - horizontalScrollBar()->value(); }

int LogView::firstVisibleLine() const { return verticalScrollBar()->value(); }

int LogView::visibleLineCount() const { return std::max(1, viewport()->height() / lineHeight()); }

void LogView::updateScrollBars()
{
    const bool follow = m_follow;
    QScrollBar* v = verticalScrollBar();
    const int lines = static_cast<int>(std::min<std::size_t>(m_doc.lineCount(), INT32_MAX));
    const int page = visibleLineCount();
    v->setPageStep(page);
    v->setSingleStep(1);
    v->setRange(0, std::max(0, lines - page));
    if (follow)
        v->setValue(v->maximum());
    m_follow = v->value() >= v->maximum();

    QScrollBar* h = horizontalScrollBar();
    // The widest line is known in bytes only; the widths seen while painting
    // correct the estimate upwards.
    const int estimate = static_cast<int>(std::min<std::size_t>(
        m_doc.widestLineBytes() * static_cast<std::size_t>(fontMetrics().averageCharWidth()), INT32_MAX / 2));
    const int width = std::max(estimate, m_widthPx) + 2 * kMarginPx;
    h->setPageStep(viewport()->width());
    h->setSingleStep(fontMetrics().averageCharWidth() * 2);
    h->setRange(0, std::max(0, width - viewport()->width()));
}

void LogView::layoutLine(QTextLayout& layout, std::size_t line) const
{
    layout.setText(lineText(line));
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine tl = layout.createLine();
    if (tl.isValid()) {
        tl.setLineWidth(1e7);
        tl.setPosition(QPointF(0, 0));
    }
    layout.endLayout();
}

QRect LogView::characterRect(std::size_t pos) const
{
    const std::size_t line = lineOf(pos);
    QTextLayout layout;
    layoutLine(layout, line);
    const int index = Utf16Index(lineBytes(line), pos - lineStart(line));
    const QTextLine tl = layout.lineAt(0);
    const qreal x = tl.isValid() ? tl.cursorToX(index) : 0;
    const qreal x2 = tl.isValid() ? tl.cursorToX(index + 1) : x;
    const int y = (static_cast<int>(line) - firstVisibleLine()) * lineHeight();
    return QRect(textLeft() + static_cast<int>(x), y, std::max(1, static_cast<int>(x2 - x)), lineHeight());
}

QRect LogView::caretRect() const
{
    QRect r = characterRect(m_doc.caret());
    r.setWidth(1);
    return r;
}

std::size_t LogView::positionAt(QPoint point) const
{
    const long long row = point.y() < 0 ? -1 : point.y() / lineHeight();
    const long long wanted = firstVisibleLine() + row;
    const auto line =
        static_cast<std::size_t>(std::clamp<long long>(wanted, 0, static_cast<long long>(m_doc.lineCount()) - 1));
    return positionAtX(line, point.x() - textLeft());
}

std::size_t LogView::positionAtX(std::size_t line, int x) const
{
    QTextLayout layout;
    layoutLine(layout, line);
    const QTextLine tl = layout.lineAt(0);
    const int index = tl.isValid() ? tl.xToCursor(x) : 0;
    return lineStart(line) + Utf8Offset(lineBytes(line), index);
}

int LogView::xOf(std::size_t pos) const { return characterRect(pos).left() - textLeft(); }

std::size_t LogView::pageLines() const { return static_cast<std::size_t>(visibleLineCount()); }

void LogView::scrollLines(long long lines)
{
    QScrollBar* v = verticalScrollBar();
    v->setValue(static_cast<int>(std::clamp<long long>(v->value() + lines, v->minimum(), v->maximum())));
}

// ---- painting --------------------------------------------------------------

void LogView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const int lh = lineHeight();
    const std::size_t first = static_cast<std::size_t>(firstVisibleLine());
    const std::size_t last = std::min(m_doc.lineCount(), first + static_cast<std::size_t>(visibleLineCount()) + 2);
    const std::size_t selFrom = selectionStart();
    const std::size_t selTo = selectionEnd();
    const std::string needle = m_highlight.toStdString();
    const bool showCaret = hasFocus() && m_caretOn;

    QTextCharFormat found;
    found.setBackground(QColor(255, 255, 0));
    QTextCharFormat selected;
    selected.setBackground(palette().color(QPalette::Highlight));
    selected.setForeground(palette().color(QPalette::HighlightedText));

    int widest = m_widthPx;
    for (std::size_t line = first; line < last; ++line) {
        QTextLayout layout;
        layoutLine(layout, line);
        const std::string_view bytes = lineBytes(line);
        QList<QTextLayout::FormatRange> ranges;
        forEachMatch(bytes, needle, [&](int from, int len) { ranges.append({from, len, found}); });
        const std::size_t ls = lineStart(line);
        const std::size_t le = lineEnd(line);
        if (selFrom < selTo && selFrom <= le && selTo >= ls && !(selTo == ls && selFrom < ls)) {
            const int from = Utf16Index(bytes, std::max(selFrom, ls) - ls);
            const int to = Utf16Index(bytes, std::min(selTo, le) - ls);
            // A selected line break shows as a little selected room after the line.
            const int breakRoom = selTo > le && line + 1 < m_doc.lineCount() ? 1 : 0;
            if (to > from)
                ranges.append({from, to - from, selected});
            if (breakRoom) {
                const QTextLine tl = layout.lineAt(0);
                const qreal x = tl.isValid() ? tl.naturalTextWidth() : 0;
                painter.fillRect(QRectF(textLeft() + x, (line - first) * lh, fontMetrics().averageCharWidth(), lh),
                                 palette().color(QPalette::Highlight));
            }
        }
        const QPointF at(textLeft(), static_cast<qreal>((line - first) * lh));
        layout.draw(&painter, at, ranges);
        if (layout.lineCount() > 0)
            widest = std::max(widest, static_cast<int>(layout.lineAt(0).naturalTextWidth()));
        if (showCaret && caret() >= ls && caret() <= le)
            layout.drawCursor(&painter, at, Utf16Index(bytes, caret() - ls));
    }
    if (widest > m_widthPx) {
        m_widthPx = widest;
        updateScrollBars();
    }
}

void LogView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    placeFindBar();
    updateScrollBars();
}

void LogView::scrollContentsBy(int, int) { viewport()->update(); }

// ---- the caret -------------------------------------------------------------

void LogView::setCaret(std::size_t pos, bool keepAnchor)
{
    m_doc.setCaret(pos, keepAnchor);
    caretChanged();
    ensureCaretVisible();
}

void LogView::setSelection(std::size_t anchor, std::size_t caret)
{
    m_doc.setSelection(anchor, caret);
    caretChanged();
    ensureCaretVisible();
}

void LogView::selectAll()
{
    m_doc.selectAll();
    caretChanged();
    viewport()->update();
}

void LogView::caretChanged()
{
    restartBlink();
    viewport()->update();
    emit caretMoved();
    LogViewAccessible::caretMoved(this);
}

void LogView::restartBlink()
{
    m_caretOn = true;
    const int period = QApplication::cursorFlashTime() / 2;
    if (period > 0 && hasFocus())
        m_blink.start(period, this);
    else
        m_blink.stop();
}

void LogView::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_blink.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    m_caretOn = !m_caretOn;
    viewport()->update(caretRect().adjusted(-2, 0, 2, 0));
}

void LogView::ensureCaretVisible()
{
    const auto line = static_cast<int>(lineOf(caret()));
    QScrollBar* v = verticalScrollBar();
    if (line < v->value())
        v->setValue(line);
    else if (line >= v->value() + visibleLineCount())
        v->setValue(line - visibleLineCount() + 1);
    const QRect r = caretRect();
    QScrollBar* h = horizontalScrollBar();
    const int room = fontMetrics().averageCharWidth() * 4;
    if (r.left() < kMarginPx)
        h->setValue(h->value() + r.left() - kMarginPx - room);
    else if (r.left() > viewport()->width() - kMarginPx) {
        if (r.left() + h->value() > h->maximum() + viewport()->width())
            updateScrollBars();
        h->setValue(h->value() + r.left() - viewport()->width() + kMarginPx + room);
    }
    viewport()->update();
}

void LogView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    restartBlink();
    viewport()->update();
}

void LogView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    m_blink.stop();
    viewport()->update();
}

// ---- editing ---------------------------------------------------------------

void LogView::insertText(std::string_view text) { m_editor.insert(text); }

void LogView::revealCaret(bool extended)
{
    caretChanged();
    ensureCaretVisible();
    if (extended)
        exportPrimarySelection();
}

void LogView::allSelected()
{
    caretChanged();
    exportPrimarySelection();
}

bool LogView::setClipboardText(std::string_view text)
{
    QApplication::clipboard()->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    return true;
}

std::string LogView::clipboardText() { return QApplication::clipboard()->text(QClipboard::Clipboard).toStdString(); }

void LogView::pastePrimarySelection()
{
    const QString text = QApplication::clipboard()->text(QClipboard::Selection);
    if (!text.isEmpty())
        insertText(text.toStdString());
}

void LogView::exportPrimarySelection()
{
    QClipboard* clipboard = QApplication::clipboard();
    if (!clipboard->supportsSelection() || !hasSelection() ||
        selectionEnd() - selectionStart() > kPrimarySelectionMaxBytes)
        return;
    const std::string s = selectedText();
    clipboard->setText(QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())), QClipboard::Selection);
}

bool LogView::event(QEvent* event)
{
    // Keys the window's shortcuts would otherwise take stay with the editor.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key == QKeySequence::Copy || key == QKeySequence::Paste || key == QKeySequence::Cut ||
            key == QKeySequence::SelectAll || key == QKeySequence::Find || !key->text().isEmpty()) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void LogView::keyPressEvent(QKeyEvent* event)
{
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (const std::optional<EditorCommand> command = commandOf(*event)) {
        m_editor.run(*command, shift);
        return;
    }
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && std::all_of(typed.begin(), typed.end(), [](QChar c) {
        return c.isPrint() || c == QLatin1Char('\t');
    });
    if (printable && !(ctrl && !(event->modifiers() & Qt::AltModifier))) {
        insertText(typed.toStdString());
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void LogView::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    const std::size_t pos = positionAt(event->position().toPoint());
    m_editor.forgetColumn();
    if (event->button() == Qt::LeftButton) {
        m_mouseSelecting = true;
        m_selectingWords = false;
        setCaret(pos, event->modifiers() & Qt::ShiftModifier);
    } else if (event->button() == Qt::MiddleButton && QApplication::clipboard()->supportsSelection()) {
        setCaret(pos);
        pastePrimarySelection();
    }
}

void LogView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_mouseSelecting || !(event->buttons() & Qt::LeftButton))
        return;
    std::size_t pos = positionAt(event->position().toPoint());
    if (m_selectingWords)
        pos = pos >= m_doc.anchor() ? m_doc.wordEnd(pos) : m_doc.wordStart(pos);
    setCaret(pos, true);
}

void LogView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_mouseSelecting) {
        m_mouseSelecting = false;
        exportPrimarySelection();
    }
}

void LogView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const std::size_t pos = positionAt(event->position().toPoint());
    m_doc.setSelection(m_doc.wordStart(pos), m_doc.wordEnd(pos));
    m_mouseSelecting = true;
    m_selectingWords = true;
    caretChanged();
    exportPrimarySelection();
}

// ---- find ------------------------------------------------------------------

void LogView::placeFindBar()
{
    if (!m_findBar->isVisible())
        return;
    const int h = m_findBar->sizeHint().height();
    const QRect vp = viewport()->geometry();
    m_findBar->setGeometry(vp.left(), vp.bottom() + 1, vp.width(), h);
}

void LogView::openFindBar()
{
    const int h = m_findBar->sizeHint().height();
    setViewportMargins(0, 0, 0, h);
    m_findBar->show();
    placeFindBar();
    if (hasSelection() && lineOf(selectionStart()) == lineOf(selectionEnd()))
        m_findBar->setNeedle(QString::fromStdString(selectedText()));
    m_findBar->focusNeedle();
    setHighlight(m_findBar->needle());
}

void LogView::setHighlight(const QString& needle)
{
    m_highlight = needle;
    viewport()->update();
}

bool LogView::findNext(const QString& needle, bool backward) { return m_editor.find(needle.toStdString(), backward); }

std::string LogView::findNeedle() const { return m_findBar->needle().toStdString(); }

void LogView::showFound(bool found) { m_findBar->setFound(found); }

}  // namespace ovin
