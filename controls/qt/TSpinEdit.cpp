#include "controls/qt/TSpinEdit.h"

#include "controls/qt/QtFocusLoss.h"
#include "controls/qt/SystemBeep.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace ovin {

namespace {

// The characters a key press types, as the system's character message carries them: Ctrl with a letter types
// the matching control character (so Ctrl+C stays usable when typing is off), and Delete edits without typing.
QString typedText(const QKeyEvent& event)
{
    if (event.key() == Qt::Key_Delete)
        return {};
    const QString text = event.text();
    const bool ctrlOnly = (event.modifiers() & Qt::ControlModifier) && !(event.modifiers() & Qt::AltModifier);
    if (ctrlOnly && text.size() == 1) {
        const char16_t letter = text.at(0).toUpper().unicode();
        if (letter >= u'A' && letter <= u'Z')
            return QString(QChar(letter - u'A' + 1));
    }
    return text;
}

}  // namespace

TSpinEdit::TSpinEdit(QWidget* parent) : QLineEdit(parent), m_button(new TSpinButton(this))
{
    m_button->resize(15, 17);
    m_button->setFocusControl(this);
    connect(m_button, &TSpinButton::UpClick, this, &TSpinEdit::StepUp);
    connect(m_button, &TSpinButton::DownClick, this, &TSpinEdit::StepDown);
    setText(QStringLiteral("0"));
    placeButton();
    setTextArea();
}

int TSpinEdit::Value() const { return m_limits.ReadValue(text().toStdString()); }

void TSpinEdit::setValue(int value) { setText(QString::fromStdString(m_limits.WriteValue(value))); }

int TSpinEdit::ClampValue(int value) const { return m_limits.ClampValue(value); }

void TSpinEdit::setEditorEnabled(bool on)
{
    m_editorEnabled = on;
    // Dropping text is pasting by another way.
    setAcceptDrops(on);
}

bool TSpinEdit::editsAllowed() const { return m_editorEnabled && !isReadOnly(); }

void TSpinEdit::StepUp()
{
    if (isReadOnly()) {
        beep();
        return;
    }
    setValue(StepValue(Value(), m_increment, +1));
}

void TSpinEdit::StepDown()
{
    if (isReadOnly()) {
        beep();
        return;
    }
    setValue(StepValue(Value(), m_increment, -1));
}

bool TSpinEdit::IsAcceptedChar(QChar ch) const
{
    // The separator is the locale's at the time of the key press.
    const QString separator = QLocale().decimalPoint();
    const char32_t decimal = separator.size() == 1 ? separator.at(0).unicode() : U'\0';
    return ovin::IsAcceptedChar(ch.unicode(), decimal, m_editorEnabled);
}

void TSpinEdit::beep() const
{
    if (m_beep)
        m_beep();
    else
        systemBeep();
}

bool TSpinEdit::acceptsAll(const QString& typed) const
{
    return std::all_of(typed.cbegin(), typed.cend(), [this](QChar ch) { return IsAcceptedChar(ch); });
}

void TSpinEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up)
        StepUp();
    else if (event->key() == Qt::Key_Down)
        StepDown();

    if (!editsAllowed() && (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut))) {
        event->accept();
        return;
    }
    if (!acceptsAll(typedText(*event))) {
        beep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TSpinEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (!acceptsAll(event->commitString())) {
        beep();
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void TSpinEdit::contextMenuEvent(QContextMenuEvent* event)
{
    // The standard menu leaves out cut, paste and the other edits for a read-only field; the actions carry
    // nothing else to tell them apart by, so the menu is built while the field briefly reads as read-only.
    const bool wasReadOnly = isReadOnly();
    if (!editsAllowed())
        setReadOnly(true);
    QMenu* menu = createStandardContextMenu();
    setReadOnly(wasReadOnly);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TSpinEdit::mouseReleaseEvent(QMouseEvent* event)
{
    // The middle button pastes the X11 selection.
    if (event->button() == Qt::MiddleButton && !editsAllowed()) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void TSpinEdit::focusInEvent(QFocusEvent* event)
{
    // A left click into the text places the caret, but a press on the arrows selects like any other entry.
    const bool clickIntoText = event->reason() == Qt::MouseFocusReason &&
                               (QGuiApplication::mouseButtons() & Qt::LeftButton) && !m_button->underMouse();
    if (m_formFocus.enters() && m_autoSelect && !clickIntoText)
        selectAll();
    // The base edit selects everything on keyboard entry by itself; without AutoSelect it must not.
    const bool keyboardEntry = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason ||
                               event->reason() == Qt::ShortcutFocusReason;
    if (!m_autoSelect && keyboardEntry) {
        QFocusEvent plainEntry(event->type(), Qt::OtherFocusReason);
        QLineEdit::focusInEvent(&plainEntry);
        return;
    }
    QLineEdit::focusInEvent(event);
}

void TSpinEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (!m_formFocus.exits(focusLossOf(*event)))
        return;
    if (const std::optional<std::string> clamped = m_limits.TextOnExit(text().toStdString()))
        setText(QString::fromStdString(*clamped));
}

int TSpinEdit::MinimumHeight() const
{
    return SpinEditMinimumHeight(fontMetrics().height(), QFontMetrics(QApplication::font()).height());
}

QSize TSpinEdit::minimumSizeHint() const
{
    const QSize base = QLineEdit::minimumSizeHint();
    return {base.width(), std::max(base.height(), MinimumHeight())};
}

QSize TSpinEdit::sizeHint() const
{
    const QSize base = QLineEdit::sizeHint();
    return {base.width(), std::max(base.height(), MinimumHeight())};
}

void TSpinEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    if (height() < MinimumHeight())
        resize(width(), MinimumHeight());
    placeButton();
    setTextArea();
}

void TSpinEdit::placeButton()
{
    int frame = 0;
    if (hasFrame()) {
        QStyleOptionFrame option;
        initStyleOption(&option);
        frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    }
    // Inside the frame, one pixel clear of its right and bottom edge.
    const int buttonWidth = m_button->width();
    m_button->setGeometry(width() - frame - buttonWidth - 1, frame, buttonWidth, height() - 2 * frame - 1);
}

void TSpinEdit::setTextArea() { setTextMargins(0, 0, m_button->width() + 2, 0); }

}  // namespace ovin
