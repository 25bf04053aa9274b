#include "controls/qt/ckSpinEditX.h"

#include <QMoveEvent>
#include <QResizeEvent>

namespace ovin {

TBoundLabel::TBoundLabel(TSpinEditX* owner) : TLabelX(owner->objectName(), owner->parentWidget())
{
    setObjectName(QStringLiteral("SubLabel"));
    setAutoFillBackground(false);
}

TSpinEditX::TSpinEditX(QWidget* parent) : TSpinEdit(parent) {}

TSpinEditX::~TSpinEditX() { destroyLabel(); }

void TSpinEditX::destroyLabel()
{
    // The label's Qt parent is the container, which would destroy it only with itself; the spin edit owns it
    // and must end it earlier. The guarded pointer is null if the container got there first.
    delete m_label.data();
    m_label = nullptr;
}

void TSpinEditX::setCaption(const QString& caption)
{
    m_caption = caption;
    if (caption.isEmpty()) {
        destroyLabel();
        return;
    }
    if (!m_label) {
        m_label = new TBoundLabel(this);
        // Placed while it still shows the object name, with that text's size, as the label always has been.
        setLabelSpacing(m_labelSpacing);
        m_label->resize(65, 17);
        if (m_label->parentWidget())
            m_label->show();
    }
    m_label->setCaption(caption);
}

void TSpinEditX::setLabelSpacing(int spacing)
{
    m_labelSpacing = spacing;
    setLabelPosition(m_labelPosition);
}

void TSpinEditX::setLabelPosition(TLabelPosition position)
{
    if (!m_label)
        return;
    m_labelPosition = position;
    const QRect edit = geometry();
    const Point corner = PlaceLabel(position, {edit.x(), edit.y(), edit.width(), edit.height()},
                                    {m_label->width(), m_label->height()}, m_labelSpacing);
    m_label->move(corner.x, corner.y);
}

void TSpinEditX::moveEvent(QMoveEvent* event)
{
    TSpinEdit::moveEvent(event);
    setLabelPosition(m_labelPosition);
}

void TSpinEditX::resizeEvent(QResizeEvent* event)
{
    TSpinEdit::resizeEvent(event);
    setLabelPosition(m_labelPosition);
}

}  // namespace ovin
