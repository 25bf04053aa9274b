#include "controls/qt/csAdpEdit.h"

#include "controls/qt/QtFocusLoss.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPalette>

namespace ovin {

namespace {

Qt::Alignment toQtAlignment(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify:
        return Qt::AlignRight | Qt::AlignVCenter;
    case taCenter:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case taLeftJustify:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace

TadpEdit::TadpEdit(QWidget* parent) : QLineEdit(parent), m_colorOnEnter(Color()), m_focusColour(Color().rgba())
{
    QLineEdit::setAlignment(toQtAlignment(m_alignment));
}

QColor TadpEdit::Color() const { return palette().color(QPalette::Base); }

void TadpEdit::setColor(const QColor& color)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Base, color);
    setPalette(colours);
}

void TadpEdit::setAlignment(TAlignment alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    QLineEdit::setAlignment(toQtAlignment(alignment));
}

void TadpEdit::focusInEvent(QFocusEvent* event)
{
    if (m_formFocus.enters())
        setColor(QColor::fromRgba(m_focusColour.enter(Color().rgba(), m_colorOnEnter.rgba())));
    QLineEdit::focusInEvent(event);
}

void TadpEdit::focusOutEvent(QFocusEvent* event)
{
    if (m_formFocus.exits(focusLossOf(*event)))
        setColor(QColor::fromRgba(m_focusColour.exit()));
    QLineEdit::focusOutEvent(event);
}

void TadpEdit::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    // A top-level edit has no form to move the focus in, so it keeps the Enter key.
    if (!m_tabOnEnter || !enter || !parentWidget()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const bool backward = event->modifiers() & Qt::ShiftModifier;
    QMetaObject::invokeMethod(
        this, [this, backward] { focusNextPrevChild(!backward); }, Qt::QueuedConnection);
    event->accept();
}

}  // namespace ovin
