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

namespace ovin {

namespace {

constexpr int kMarginPx = 2;
// A selection larger than this is not offered as the X primary selection on
// every change: the whole log selected would cost twice its size in memory.
constexpr std::size_t kPrimarySelectionMaxBytes = std::size_t{16} << 20;

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool isWordByte(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || std::isalnum(u) || c == '_';
}

// UTF-16 units before byte `offset` of a UTF-8 line, as QString::fromUtf8
// counts them for well-formed text.
int utf16Index(std::string_view line, std::size_t offset)
{
    int units = 0;
    for (std::size_t i = 0; i < offset && i < line.size(); ++i) {
        const auto u = static_cast<unsigned char>(line[i]);
        if (!isContinuation(line[i]))
            units += u >= 0xF0 ? 2 : 1;
    }
    return units;
}

std::size_t byteOffset(std::string_view line, int index)
{
    int units = 0;
    std::size_t i = 0;
    while (i < line.size() && units < index) {
        const auto u = static_cast<unsigned char>(line[i]);
        units += u >= 0xF0 ? 2 : 1;
        ++i;
        while (i < line.size() && isContinuation(line[i]))
            ++i;
    }
    return i;
}

std::string withCrLf(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    std::string out;
    out.reserve(static_cast<std::size_t>(utf8.size()));
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// Every match of `needle` in `line`, as UTF-16 ranges of the decoded line.
template <typename F>
void forEachMatch(std::string_view line, std::string_view needle, F&& f)
{
    if (needle.empty())
        return;
    for (std::size_t at = line.find(needle); at != std::string_view::npos; at = line.find(needle, at + needle.size())) {
        const int from = utf16Index(line, at);
        f(from, utf16Index(line, at + needle.size()) - from);
    }
}

}  // namespace

LogView::LogView(EventLog& log, QWidget* parent) : QAbstractScrollArea(parent), m_log(log)
{
    setObjectName(QStringLiteral("Memo1"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::IBeamCursor);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, QColor(192, 192, 192));
    setPalette(pal);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    setFont(QFont(QStringLiteral("Arial"), 8));
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int v) { m_follow = v >= verticalScrollBar()->maximum(); });

    m_findBar = new FindBar(this);
    m_findBar->hide();
    connect(m_findBar, &FindBar::findRequested, this, [this](const QString& needle, bool backward) {
        m_findBar->setFound(findNext(needle, backward));
    });
    connect(m_findBar, &FindBar::needleChanged, this, &LogView::setHighlight);
    connect(m_findBar, &FindBar::closed, this, [this] {
        setViewportMargins(0, 0, 0, 0);
        setHighlight(QString());
        setFocus();
    });

    LogViewAccessible::installFactory();
    m_log.setObserver(this);
    logReplaced();
}

LogView::~LogView() { m_log.setObserver(nullptr); }

// ---- the index -------------------------------------------------------------

void LogView::indexBreaks(std::size_t from, std::size_t to, std::vector<std::size_t>& starts)
{
    const char* const base = m_log.text().data();
    const char* p = base + from;
    const char* const end = base + to;
    std::size_t lineBegin = starts.empty() ? 0 : starts.back();
    while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) != nullptr) {
        const auto next = static_cast<std::size_t>(p - base) + 1;
        m_widestLineBytes = std::max(m_widestLineBytes, next - lineBegin);
        starts.push_back(next);
        lineBegin = next;
        ++p;
    }
    m_widestLineBytes = std::max(m_widestLineBytes, to - std::min(to, lineBegin));
}

void LogView::rebuildIndex()
{
    m_lineStarts.assign(1, 0);
    m_widestLineBytes = 0;
    indexBreaks(0, m_log.text().size(), m_lineStarts);
}

void LogView::logReplaced()
{
    rebuildIndex();
    // Opened on a month of log, the view shows its end.
    m_caret = m_anchor = m_log.text().size();
    m_follow = true;
    updateScrollBars();
    caretChanged();
    viewport()->update();
}

void LogView::logAppended(std::string_view added)
{
    const std::size_t oldSize = m_log.text().size() - added.size();
    const bool follow = m_follow;
    indexBreaks(oldSize, m_log.text().size(), m_lineStarts);
    // A caret at the very end stays at the end, so that what the user goes
    // on typing lands after the new line.
    const bool caretAtEnd = m_caret == oldSize;
    if (caretAtEnd)
        m_caret = m_log.text().size();
    if (m_anchor == oldSize)
        m_anchor = m_log.text().size();
    m_follow = follow;
    updateScrollBars();
    if (caretAtEnd)
        caretChanged();
    viewport()->update();
}

void LogView::logEdited(std::size_t pos, std::size_t removed, std::size_t inserted)
{
    // Lines whose break was removed go; later lines move by the change;
    // breaks in the inserted text make new lines.
    auto first = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), pos);
    auto last = std::upper_bound(first, m_lineStarts.end(), pos + removed);
    for (auto it = last; it != m_lineStarts.end(); ++it)
        *it = *it - removed + inserted;
    const auto at = m_lineStarts.erase(first, last) - m_lineStarts.begin();
    std::vector<std::size_t> fresh{m_lineStarts[static_cast<std::size_t>(at) - 1]};
    indexBreaks(pos, pos + inserted, fresh);
    m_lineStarts.insert(m_lineStarts.begin() + at, fresh.begin() + 1, fresh.end());
    noteLineWidth(lineOf(pos + inserted));

    auto shift = [&](std::size_t& p) {
        if (p >= pos + removed)
            p = p - removed + inserted;
        else if (p > pos)
            p = pos;
    };
    shift(m_caret);
    shift(m_anchor);
    updateScrollBars();
    viewport()->update();
}

void LogView::noteLineWidth(std::size_t line)
{
    m_widestLineBytes = std::max(m_widestLineBytes, lineEnd(line) - lineStart(line));
}

std::size_t LogView::lineEnd(std::size_t line) const
{
    const std::string& t = m_log.text();
    if (line + 1 >= m_lineStarts.size())
        return t.size();
    std::size_t end = m_lineStarts[line + 1] - 1;
    if (end > m_lineStarts[line] && t[end - 1] == '\r')
        --end;
    return end;
}

std::size_t LogView::lineOf(std::size_t pos) const
{
    return static_cast<std::size_t>(std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), pos) -
                                    m_lineStarts.begin()) -
           1;
}

std::string_view LogView::lineBytes(std::size_t line) const
{
    const std::size_t from = lineStart(line);
    return std::string_view(m_log.text()).substr(from, lineEnd(line) - from);
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
    const int lines = static_cast<int>(std::min<std::size_t>(m_lineStarts.size(), INT32_MAX));
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
    const int estimate = static_cast<int>(
        std::min<std::size_t>(m_widestLineBytes * static_cast<std::size_t>(fontMetrics().averageCharWidth()),
                              INT32_MAX / 2));
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
    const int index = utf16Index(lineBytes(line), pos - lineStart(line));
    const QTextLine tl = layout.lineAt(0);
    const qreal x = tl.isValid() ? tl.cursorToX(index) : 0;
    const qreal x2 = tl.isValid() ? tl.cursorToX(index + 1) : x;
    const int y = (static_cast<int>(line) - firstVisibleLine()) * lineHeight();
    return QRect(textLeft() + static_cast<int>(x), y, std::max(1, static_cast<int>(x2 - x)), lineHeight());
}

QRect LogView::caretRect() const
{
    QRect r = characterRect(m_caret);
    r.setWidth(1);
    return r;
}

std::size_t LogView::positionAt(QPoint point) const
{
    const long long row = point.y() < 0 ? -1 : point.y() / lineHeight();
    const long long wanted = firstVisibleLine() + row;
    const auto line = static_cast<std::size_t>(
        std::clamp<long long>(wanted, 0, static_cast<long long>(m_lineStarts.size()) - 1));
    QTextLayout layout;
    layoutLine(layout, line);
    const QTextLine tl = layout.lineAt(0);
    const int index = tl.isValid() ? tl.xToCursor(point.x() - textLeft()) : 0;
    return lineStart(line) + byteOffset(lineBytes(line), index);
}

// ---- painting --------------------------------------------------------------

void LogView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const int lh = lineHeight();
    const std::size_t first = static_cast<std::size_t>(firstVisibleLine());
    const std::size_t last = std::min(m_lineStarts.size(), first + static_cast<std::size_t>(visibleLineCount()) + 2);
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
            const int from = utf16Index(bytes, std::max(selFrom, ls) - ls);
            const int to = utf16Index(bytes, std::min(selTo, le) - ls);
            // A selected line break shows as a little selected room after the line.
            const int breakRoom = selTo > le && line + 1 < m_lineStarts.size() ? 1 : 0;
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
        if (showCaret && m_caret >= ls && m_caret <= le)
            layout.drawCursor(&painter, at, utf16Index(bytes, m_caret - ls));
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

std::size_t LogView::nextPos(std::size_t pos) const
{
    const std::string& t = m_log.text();
    if (pos >= t.size())
        return t.size();
    if (t[pos] == '\r' && pos + 1 < t.size() && t[pos + 1] == '\n')
        return pos + 2;
    ++pos;
    while (pos < t.size() && isContinuation(t[pos]))
        ++pos;
    return pos;
}

std::size_t LogView::prevPos(std::size_t pos) const
{
    const std::string& t = m_log.text();
    if (pos == 0)
        return 0;
    if (t[pos - 1] == '\n' && pos >= 2 && t[pos - 2] == '\r')
        return pos - 2;
    --pos;
    while (pos > 0 && isContinuation(t[pos]))
        --pos;
    return pos;
}

std::size_t LogView::wordStart(std::size_t pos) const
{
    const std::string& t = m_log.text();
    const std::size_t ls = lineStart(lineOf(pos));
    while (pos > ls && isWordByte(t[pos - 1]))
        --pos;
    while (pos < t.size() && isContinuation(t[pos]))
        ++pos;
    return pos;
}

std::size_t LogView::wordEnd(std::size_t pos) const
{
    const std::string& t = m_log.text();
    const std::size_t le = lineEnd(lineOf(pos));
    while (pos < le && isWordByte(t[pos]))
        ++pos;
    return pos;
}

std::size_t LogView::verticalMove(std::size_t pos, int lines)
{
    const std::size_t line = lineOf(pos);
    if (m_goalX < 0)
        m_goalX = characterRect(pos).left() - textLeft();
    const long long target =
        std::clamp<long long>(static_cast<long long>(line) + lines, 0, static_cast<long long>(lineCount()) - 1);
    QTextLayout layout;
    layoutLine(layout, static_cast<std::size_t>(target));
    const QTextLine tl = layout.lineAt(0);
    const int index = tl.isValid() ? tl.xToCursor(m_goalX) : 0;
    return lineStart(static_cast<std::size_t>(target)) + byteOffset(lineBytes(static_cast<std::size_t>(target)), index);
}

void LogView::setCaret(std::size_t pos, bool keepAnchor)
{
    m_caret = std::min(pos, m_log.text().size());
    if (!keepAnchor)
        m_anchor = m_caret;
    caretChanged();
    ensureCaretVisible();
}

void LogView::setSelection(std::size_t anchor, std::size_t caret)
{
    m_anchor = std::min(anchor, m_log.text().size());
    setCaret(caret, true);
}

void LogView::selectAll()
{
    m_anchor = 0;
    m_caret = m_log.text().size();
    caretChanged();
    viewport()->update();
}

std::string LogView::selectedText() const
{
    return m_log.text().substr(selectionStart(), selectionEnd() - selectionStart());
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
    const auto line = static_cast<int>(lineOf(m_caret));
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

void LogView::insertText(std::string_view text)
{
    std::string crlf;
    if (text.find_first_of("\r\n") != std::string_view::npos) {
        crlf = withCrLf(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        text = crlf;
    }
    const std::size_t from = selectionStart();
    const std::size_t len = selectionEnd() - from;
    m_log.editText(from, len, text);
    m_goalX = -1;
    setCaret(from + text.size());
}

void LogView::removeBackward()
{
    if (!hasSelection())
        m_anchor = prevPos(m_caret);
    insertText({});
}

void LogView::removeForward()
{
    if (!hasSelection())
        m_anchor = nextPos(m_caret);
    insertText({});
}

void LogView::copyToClipboard(bool cut)
{
    if (!hasSelection())
        return;
    const std::string s = selectedText();
    QApplication::clipboard()->setText(QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())));
    if (cut)
        insertText({});
}

void LogView::paste(bool fromPrimary)
{
    const QString text =
        QApplication::clipboard()->text(fromPrimary ? QClipboard::Selection : QClipboard::Clipboard);
    if (!text.isEmpty())
        insertText(withCrLf(text));
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
    auto move = [&](std::size_t to, bool keepGoal = false) {
        if (!keepGoal)
            m_goalX = -1;
        setCaret(to, shift);
        if (shift)
            exportPrimarySelection();
    };

    if (event == QKeySequence::SelectAll) {
        selectAll();
        exportPrimarySelection();
        return;
    }
    if (event == QKeySequence::Copy) {
        copyToClipboard(false);
        return;
    }
    if (event == QKeySequence::Cut) {
        copyToClipboard(true);
        return;
    }
    if (event == QKeySequence::Paste) {
        paste(false);
        return;
    }
    if (event == QKeySequence::Find) {
        openFindBar();
        return;
    }
    if (event->key() == Qt::Key_F3) {
        if (!m_findBar->needle().isEmpty())
            m_findBar->setFound(findNext(m_findBar->needle(), shift));
        else
            openFindBar();
        return;
    }

    switch (event->key()) {
    case Qt::Key_Left:
        move(ctrl ? wordStart(prevPos(m_caret)) : (hasSelection() && !shift ? selectionStart() : prevPos(m_caret)));
        return;
    case Qt::Key_Right:
        if (ctrl) {
            std::size_t p = m_caret;
            while (p < m_log.text().size() && !isWordByte(m_log.text()[p]))
                p = nextPos(p);
            move(wordEnd(p));
        } else {
            move(hasSelection() && !shift ? selectionEnd() : nextPos(m_caret));
        }
        return;
    case Qt::Key_Up:
        move(verticalMove(m_caret, -1), true);
        return;
    case Qt::Key_Down:
        move(verticalMove(m_caret, 1), true);
        return;
    case Qt::Key_PageUp:
        verticalScrollBar()->setValue(verticalScrollBar()->value() - visibleLineCount());
        move(verticalMove(m_caret, -visibleLineCount()), true);
        return;
    case Qt::Key_PageDown:
        verticalScrollBar()->setValue(verticalScrollBar()->value() + visibleLineCount());
        move(verticalMove(m_caret, visibleLineCount()), true);
        return;
    case Qt::Key_Home:
        move(ctrl ? 0 : lineStart(lineOf(m_caret)));
        return;
    case Qt::Key_End:
        move(ctrl ? m_log.text().size() : lineEnd(lineOf(m_caret)));
        return;
    case Qt::Key_Backspace:
        removeBackward();
        return;
    case Qt::Key_Delete:
        if (shift)
            copyToClipboard(true);
        else
            removeForward();
        return;
    case Qt::Key_Insert:
        if (shift)
            paste(false);
        else if (ctrl)
            copyToClipboard(false);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        insertText("\r\n");
        return;
    default:
        break;
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
    m_goalX = -1;
    if (event->button() == Qt::LeftButton) {
        m_mouseSelecting = true;
        m_selectingWords = false;
        setCaret(pos, event->modifiers() & Qt::ShiftModifier);
    } else if (event->button() == Qt::MiddleButton && QApplication::clipboard()->supportsSelection()) {
        setCaret(pos);
        paste(true);
    }
}

void LogView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_mouseSelecting || !(event->buttons() & Qt::LeftButton))
        return;
    std::size_t pos = positionAt(event->position().toPoint());
    if (m_selectingWords)
        pos = pos >= m_anchor ? wordEnd(pos) : wordStart(pos);
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
    m_anchor = wordStart(pos);
    m_caret = wordEnd(pos);
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

bool LogView::findNext(const QString& needle, bool backward)
{
    const std::string n = needle.toStdString();
    const std::string_view t = m_log.text();
    if (n.empty() || n.size() > t.size())
        return false;
    std::size_t at;
    if (!backward) {
        at = t.find(n, selectionEnd() > selectionStart() ? selectionStart() + 1 : m_caret);
        if (at == std::string_view::npos)
            at = t.find(n);
    } else {
        const std::size_t from = selectionStart();
        at = from == 0 ? std::string_view::npos : t.rfind(n, from - 1);
        if (at == std::string_view::npos)
            at = t.rfind(n);
    }
    if (at == std::string_view::npos)
        return false;
    setSelection(at, at + n.size());
    return true;
}

}  // namespace ovin
