#include "controls/qt/TTimerSpeedButton.h"

#include "controls/qt/QtWatchTimer.h"
#include "watchdog/WatchTimer.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QBitmap>

#include <utility>

namespace ovin {

namespace {

constexpr int kFocusMarkInsetPx = 3;

std::unique_ptr<WatchTimer> makeQtTimer() { return std::make_unique<QtWatchTimer>(); }

}  // namespace

TTimerSpeedButton::TTimerSpeedButton(QWidget* parent)
    : QAbstractButton(parent),
      m_repeat(
          makeQtTimer,
          // Not click(): that would take the pressed look away from a button that is still held.
          [this] { emit clicked(false); },
          // isDown() turns false while the held pointer is off the button, which pauses the repeat.
          [this] { return isDown() && m_holdsMouse; })
{
    setFocusPolicy(Qt::NoFocus);
}

void TTimerSpeedButton::setRepeatFlags(RepeatFlags flags)
{
    if (flags == m_flags)
        return;
    m_flags = flags;
    m_repeat.setEnabled(flags & AutoRepeat);
    update();
}

void TTimerSpeedButton::setGlyph(const QPixmap& glyph)
{
    m_glyph = glyph;
    m_transparentGlyph = glyph;
    if (!glyph.isNull()) {
        const QColor background = glyph.toImage().pixelColor(0, glyph.height() - 1);
        m_transparentGlyph.setMask(glyph.createMaskFromColor(background, Qt::MaskInColor));
    }
    update();
}

void TTimerSpeedButton::setNumGlyphs(int count)
{
    m_numGlyphs = std::clamp(count, 1, 4);
    update();
}

void TTimerSpeedButton::setTimerFactory(TimerFactory factory)
{
    m_repeat.setTimerFactory(factory ? std::move(factory) : TimerFactory(makeQtTimer));
}

QSize TTimerSpeedButton::sizeHint() const { return m_glyph.size() / m_numGlyphs + QSize(6, 4); }

void TTimerSpeedButton::mousePressEvent(QMouseEvent* event)
{
    emit MouseDown(this, event->button());
    QAbstractButton::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        m_holdsMouse = true;
    m_repeat.press();
    event->accept();
}

void TTimerSpeedButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_holdsMouse = false;
    QAbstractButton::mouseReleaseEvent(event);
    m_repeat.release();
    event->accept();
}

QPixmap TTimerSpeedButton::glyphToDraw() const
{
    if (m_transparentGlyph.isNull())
        return {};
    int index = 0;
    if (!isEnabled() && m_numGlyphs > 1)
        index = 1;
    else if (isDown() && m_numGlyphs > 2)
        index = 2;
    const int width = m_transparentGlyph.width() / m_numGlyphs;
    QPixmap image = m_transparentGlyph.copy(index * width, 0, width, m_transparentGlyph.height());
    if (!isEnabled() && m_numGlyphs == 1) {
        QStyleOption option;
        option.initFrom(this);
        image = style()->generatedIconPixmap(QIcon::Disabled, image, &option);
    }
    return image;
}

void TTimerSpeedButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &option, &painter, this);

    const int shift = isDown() ? 1 : 0;
    const QPixmap glyph = glyphToDraw();
    const QSize glyphSize = glyph.deviceIndependentSize().toSize();
    painter.drawPixmap(QPoint((width() - glyphSize.width()) / 2 + shift, (height() - glyphSize.height()) / 2 + shift),
                       glyph);

    if (m_flags & FocusMark) {
        // Drawn by hand: styles show focus frames only after keyboard navigation, but this mark must always
        // show which arrow Space clicks.
        const QRect mark = rect()
                               .adjusted(kFocusMarkInsetPx, kFocusMarkInsetPx, -kFocusMarkInsetPx, -kFocusMarkInsetPx)
                               .translated(shift, shift);
        painter.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
        painter.drawRect(mark.adjusted(0, 0, -1, -1));
    }
}

}  // namespace ovin
