#include "LogViewAccessible.h"

#include <QAccessible>

#include <algorithm>
#include <climits>

#include "LogView.h"

namespace ovin {

namespace {

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

int unitsOf(char lead) { return static_cast<unsigned char>(lead) >= 0xF0 ? 2 : 1; }

QAccessibleInterface* makeInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String("ovin::LogView") && object && object->isWidgetType())
        return new LogViewAccessible(static_cast<LogView*>(object));
    return nullptr;
}

}  // namespace

LogViewAccessible::LogViewAccessible(LogView* view) : QAccessibleWidget(view, QAccessible::EditableText) {}

void LogViewAccessible::installFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(makeInterface);
        return true;
    }();
    (void)installed;
}

void LogViewAccessible::caretMoved(LogView* view)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(view);
    if (!iface || !iface->textInterface())
        return;
    QAccessibleTextCursorEvent event(view, iface->textInterface()->cursorPosition());
    QAccessible::updateAccessibility(&event);
}

LogView* LogViewAccessible::view() const { return static_cast<LogView*>(widget()); }

void* LogViewAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State LogViewAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.editable = true;
    s.multiLine = true;
    s.selectableText = true;
    return s;
}

QString LogViewAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name)
        return QStringLiteral("Log");
    if (t == QAccessible::Value) {
        const std::string& s = view()->text();
        return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
    }
    return QAccessibleWidget::text(t);
}

// Offsets count UTF-16 units from the start of the text; the log is UTF-8
// bytes, so the two are converted by walking the text.
int LogViewAccessible::toOffset(std::size_t pos) const
{
    const std::string& s = view()->text();
    long long units = 0;
    for (std::size_t i = 0; i < pos && i < s.size(); ++i) {
        if (!isContinuation(s[i]))
            units += unitsOf(s[i]);
    }
    return static_cast<int>(std::min<long long>(units, INT_MAX));
}

std::size_t LogViewAccessible::toPos(int offset) const
{
    const std::string& s = view()->text();
    long long units = 0;
    std::size_t i = 0;
    while (i < s.size() && units < offset) {
        units += unitsOf(s[i]);
        ++i;
        while (i < s.size() && isContinuation(s[i]))
            ++i;
    }
    return i;
}

void LogViewAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !view()->hasSelection())
        return;
    *startOffset = toOffset(view()->selectionStart());
    *endOffset = toOffset(view()->selectionEnd());
}

int LogViewAccessible::selectionCount() const { return view()->hasSelection() ? 1 : 0; }

void LogViewAccessible::addSelection(int startOffset, int endOffset) { setSelection(0, startOffset, endOffset); }

void LogViewAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        view()->setCaret(view()->caret());
}

void LogViewAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        view()->setSelection(toPos(startOffset), toPos(endOffset));
}

int LogViewAccessible::cursorPosition() const { return toOffset(view()->caret()); }

void LogViewAccessible::setCursorPosition(int position) { view()->setCaret(toPos(position)); }

QString LogViewAccessible::text(int startOffset, int endOffset) const
{
    const std::size_t from = toPos(startOffset);
    const std::size_t to = std::max(from, toPos(endOffset));
    const std::string& s = view()->text();
    return QString::fromUtf8(s.data() + from, static_cast<qsizetype>(to - from));
}

int LogViewAccessible::characterCount() const { return toOffset(view()->text().size()); }

QRect LogViewAccessible::characterRect(int offset) const
{
    const QRect r = view()->characterRect(toPos(offset));
    return QRect(view()->viewport()->mapToGlobal(r.topLeft()), r.size());
}

int LogViewAccessible::offsetAtPoint(const QPoint& point) const
{
    return toOffset(view()->positionAt(view()->viewport()->mapFromGlobal(point)));
}

void LogViewAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    view()->setSelection(toPos(startIndex), toPos(endIndex));
}

QString LogViewAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = offset;
    return QString();
}

}  // namespace ovin
