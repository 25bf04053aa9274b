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
#include "shell/LogViewRules.h"
#include "shell/MainWindow.h"

namespace ovin {

namespace {

// A selection larger than this is not offered as the X primary selection on
// every change: the whole log selected would cost twice its size in memory.
constexpr std::size_t kPrimarySelectionMaxBytes = std::size_t{16} << 20;
constexpr int kMarginPx = logview::kMarginPx;

// The platform's standard sequences come first (they differ between desktops); the other keys are the editor's
// own.
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
    int qtKey;
    logview::EditorKey key;
};
constexpr KeyRow kKeys[] = {
    {Qt::Key_F3, logview::EditorKey::F3},
    {Qt::Key_Left, logview::EditorKey::Left},
    {Qt::Key_Right, logview::EditorKey::Right},
    {Qt::Key_Up, logview::EditorKey::Up},
    {Qt::Key_Down, logview::EditorKey::Down},
    {Qt::Key_PageUp, logview::EditorKey::PageUp},
    {Qt::Key_PageDown, logview::EditorKey::PageDown},
    {Qt::Key_Home, logview::EditorKey::Home},
    {Qt::Key_End, logview::EditorKey::End},
    {Qt::Key_Backspace, logview::EditorKey::Backspace},
    {Qt::Key_Delete, logview::EditorKey::Delete},
    {Qt::Key_Insert, logview::EditorKey::Insert},
    {Qt::Key_Return, logview::EditorKey::Return},
    {Qt::Key_Enter, logview::EditorKey::Return},
};

std::optional<EditorCommand> commandOf(QKeyEvent& event)
{
    for (const StandardKeyRow& row : kStandardKeys) {
        if (event.matches(row.sequence))
            return row.command;
    }
    for (const KeyRow& row : kKeys) {
        if (event.key() == row.qtKey)
            return logview::CommandOfKey(row.key, event.modifiers() & Qt::ControlModifier,
                                         event.modifiers() & Qt::ShiftModifier);
    }
    return std::nullopt;
}

QColor qColor(Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

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
    pal.setColor(QPalette::Base, qColor(look.logBackground));
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
    const int width =
        logview::ContentWidthPx(m_doc.widestLineBytes(), fontMetrics().averageCharWidth(), m_widthPx, kMarginPx);
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
    const std::string needle = m_highlight.toStdString();
    const bool showCaret = hasFocus() && m_caretOn;

    QTextCharFormat found;
    found.setBackground(qColor(logview::kFoundBackground));
    QTextCharFormat selected;
    selected.setBackground(palette().color(QPalette::Highlight));
    selected.setForeground(palette().color(QPalette::HighlightedText));

    int widest = m_widthPx;
    for (std::size_t line = first; line < last; ++line) {
        QTextLayout layout;
        layoutLine(layout, line);
        const std::string_view bytes = lineBytes(line);
        QList<QTextLayout::FormatRange> ranges;
        for (const logview::Utf16Span& match : logview::MatchSpans(bytes, needle))
            ranges.append({match.from, match.to - match.from, found});
        const std::size_t ls = lineStart(line);
        const std::size_t le = lineEnd(line);
        if (const std::optional<logview::LineSelection> part = logview::SelectedPart(m_doc, line)) {
            const auto [from, to] = part->characters;
            if (to > from)
                ranges.append({from, to - from, selected});
            if (part->lineBreak) {
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
    QScrollBar* h = horizontalScrollBar();
    const int x = xOf(caret());
    if (const std::optional<int> offset = logview::OffsetShowingCaret(x, h->value(), viewport()->width(), kMarginPx,
                                                                      fontMetrics().averageCharWidth())) {
        if (kMarginPx + x > h->maximum() + viewport()->width())
            updateScrollBars();
        h->setValue(*offset);
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
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (const std::optional<EditorCommand> command = commandOf(*event)) {
        m_editor.run(*command, event->modifiers() & Qt::ShiftModifier);
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
        m_mouse.press(pos, event->modifiers() & Qt::ShiftModifier);
        caretChanged();
        ensureCaretVisible();
    } else if (event->button() == Qt::MiddleButton && QApplication::clipboard()->supportsSelection()) {
        setCaret(pos);
        pastePrimarySelection();
    }
}

void LogView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_mouse.selecting() || !(event->buttons() & Qt::LeftButton))
        return;
    setCaret(*m_mouse.dragTarget(positionAt(event->position().toPoint())), true);
}

void LogView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_mouse.release())
        exportPrimarySelection();
}

void LogView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_mouse.doubleClick(positionAt(event->position().toPoint()));
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
    if (const std::optional<std::string> needle = logview::NeedleFromSelection(m_doc))
        m_findBar->setNeedle(QString::fromStdString(*needle));
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
