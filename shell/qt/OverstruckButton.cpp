#include "OverstruckButton.h"

#include <QFontDatabase>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace ovin {

OverstruckButton::OverstruckButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

void OverstruckButton::paintEvent(QPaintEvent* event)
{
    // The font system reports such a font as bold all the same, so the test
    // is whether it has outlines to embolden.
    if (!font().bold() || QFontDatabase::isSmoothlyScalable(QFontInfo(font()).family())) {
        QPushButton::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    const QRect room = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Normal : QPalette::Disabled;
    painter.setPen(palette().color(group, QPalette::ButtonText));
    for (int dx : {0, 1})
        painter.drawText(room.translated(dx, 0), Qt::AlignCenter | Qt::TextShowMnemonic, caption);
}

}  // namespace ovin
