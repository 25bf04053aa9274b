#pragma once

#include <QAccessibleWidget>

#include <cstddef>
#include <string_view>

namespace ovin {

class LogView;

/// What assistive technology sees of the log view: an editable text with
/// its caret and selection, offsets counted in characters as a text control
/// counts them.
class LogViewAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit LogViewAccessible(LogView* view);

    /// Registers the factory once; further calls do nothing.
    static void installFactory();
    /// Tells the accessibility layer that the caret moved, when it listens.
    static void caretMoved(LogView* view);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;

    // QAccessibleTextInterface
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    LogView* view() const;
    int toOffset(std::size_t pos) const;
    std::size_t toPos(int offset) const;
};

}  // namespace ovin
