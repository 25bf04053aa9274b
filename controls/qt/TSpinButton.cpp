#include "controls/qt/TSpinButton.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>

#include <array>

namespace ovin {

namespace {

constexpr int kGlyphWidthPx = 9;
constexpr int kGlyphHeightPx = 6;
using GlyphRows = std::array<int, kGlyphHeightPx>;
constexpr GlyphRows kUpArrowRows{0, 1, 3, 5, 7, 0};
constexpr GlyphRows kDownArrowRows{0, 7, 5, 3, 1, 0};

// The arrows are drawn on olive, the colour that the button makes transparent.
QPixmap arrowGlyph(const GlyphRows& rowWidths)
{
    QImage image(kGlyphWidthPx, kGlyphHeightPx, QImage::Format_RGB32);
    image.fill(QColor(0x80, 0x80, 0x00));
    for (int y = 0; y < kGlyphHeightPx; ++y) {
        const int left = (kGlyphWidthPx - rowWidths[y]) / 2;
        for (int x = left; x < left + rowWidths[y]; ++x)
            image.setPixel(x, y, qRgb(0, 0, 0));
    }
    return QPixmap::fromImage(image);
}

void loadGlyph(TTimerSpeedButton* button, const QPixmap& glyph, const GlyphRows& builtInRows)
{
    if (!glyph.isNull()) {
        button->setGlyph(glyph);
        return;
    }
    button->setGlyph(arrowGlyph(builtInRows));
    button->setNumGlyphs(1);
    button->update();
}

bool isTabStop(const QWidget* widget) { return (widget->focusPolicy() & Qt::TabFocus) != 0; }

bool canTakeFocus(const QWidget* widget) { return widget->isVisible() && widget->isEnabled(); }

}  // namespace

TSpinButton::TSpinButton(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
    // Inside a spin edit it would otherwise inherit the edit's text cursor.
    setCursor(Qt::ArrowCursor);
    m_upButton = createButton();
    m_downButton = createButton();
    setUpGlyph({});
    setDownGlyph({});
    int width = 20;
    int height = 25;
    FitButtons(width, height);
    resize(width, height);
}

TTimerSpeedButton* TSpinButton::createButton()
{
    auto* button = new TTimerSpeedButton(this);
    connect(button, &TTimerSpeedButton::clicked, this, [this, button] { buttonClicked(button); });
    connect(button, &TTimerSpeedButton::MouseDown, this, &TSpinButton::buttonPressed);
    button->setRepeatFlags(TTimerSpeedButton::AutoRepeat);
    return button;
}

QPixmap TSpinButton::UpGlyph() const { return m_upButton->Glyph(); }

void TSpinButton::setUpGlyph(const QPixmap& glyph) { loadGlyph(m_upButton, glyph, kUpArrowRows); }

QPixmap TSpinButton::DownGlyph() const { return m_downButton->Glyph(); }

void TSpinButton::setDownGlyph(const QPixmap& glyph) { loadGlyph(m_downButton, glyph, kDownArrowRows); }

int TSpinButton::UpNumGlyphs() const { return m_upButton->NumGlyphs(); }

void TSpinButton::setUpNumGlyphs(int count) { m_upButton->setNumGlyphs(count); }

int TSpinButton::DownNumGlyphs() const { return m_downButton->NumGlyphs(); }

void TSpinButton::setDownNumGlyphs(int count) { m_downButton->setNumGlyphs(count); }

bool TSpinButton::TabStop() const { return isTabStop(this); }

void TSpinButton::setTabStop(bool on) { setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus); }

QSize TSpinButton::sizeHint() const { return {20, 25}; }

QSize TSpinButton::minimumSizeHint() const { return {kMinSpinButtonWidthPx, 2}; }

void TSpinButton::FitButtons(int& width, int& height)
{
    const SpinButtonFit fit = ovin::FitButtons({width, height});
    width = fit.size.width;
    m_upButton->setGeometry(fit.up.left, fit.up.top, fit.up.width, fit.up.height);
    m_downButton->setGeometry(fit.down.left, fit.down.top, fit.down.width, fit.down.height);
}

void TSpinButton::resizeEvent(QResizeEvent*)
{
    int fittedWidth = width();
    int fittedHeight = height();
    FitButtons(fittedWidth, fittedHeight);
    if (QSize(fittedWidth, fittedHeight) != size())
        resize(fittedWidth, fittedHeight);
}

void TSpinButton::setFocusMark(bool on)
{
    if (on)
        m_active.focusIn();
    else
        m_active.focusOut();
    for (TTimerSpeedButton* button : {m_upButton, m_downButton}) {
        auto flags = button->repeatFlags();
        flags.setFlag(TTimerSpeedButton::FocusMark, m_active.focusMark() && button == activeButton());
        button->setRepeatFlags(flags);
    }
}

void TSpinButton::focusInEvent(QFocusEvent* event)
{
    setFocusMark(true);
    QWidget::focusInEvent(event);
}

void TSpinButton::focusOutEvent(QFocusEvent* event)
{
    setFocusMark(false);
    QWidget::focusOutEvent(event);
}

void TSpinButton::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
        activeButton()->click();
        break;
    case Qt::Key_Up:
        SetActiveButton(m_upButton);
        m_upButton->click();
        break;
    case Qt::Key_Down:
        SetActiveButton(m_downButton);
        m_downButton->click();
        break;
    default:
        event->ignore();
        return;
    }
    event->accept();
}

void TSpinButton::SetActiveButton(TTimerSpeedButton* button)
{
    const ActiveArrow::Arrow arrow = button == m_upButton ? ActiveArrow::Up : ActiveArrow::Down;
    if (m_active.SetActiveButton(arrow, TabStop(), canTakeFocus(this)))
        setFocusMark(hasFocus());
}

void TSpinButton::setTimerFactory(const TimerFactory& factory)
{
    m_upButton->setTimerFactory(factory);
    m_downButton->setTimerFactory(factory);
}

void TSpinButton::buttonPressed(TTimerSpeedButton* button, Qt::MouseButton mouseButton)
{
    if (mouseButton != Qt::LeftButton)
        return;
    SetActiveButton(button);
    if (m_focusControl && isTabStop(m_focusControl) && canTakeFocus(m_focusControl) && !m_focusControl->hasFocus())
        m_focusControl->setFocus(Qt::OtherFocusReason);
    else if (TabStop() && !hasFocus() && canTakeFocus(this))
        setFocus(Qt::OtherFocusReason);
}

void TSpinButton::buttonClicked(TTimerSpeedButton* button)
{
    if (button == m_upButton)
        emit UpClick(this);
    else
        emit DownClick(this);
}

}  // namespace ovin
