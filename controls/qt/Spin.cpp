#include "controls/qt/Spin.h"

#include "controls/qt/QtFocusLoss.h"
#include "controls/qt/QtWatchTimer.h"
#include "controls/qt/SystemBeep.h"
#include "watchdog/WatchTimer.h"

#include <QApplication>
#include <QBitmap>
#include <QContextMenuEvent>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTimer>

#include <algorithm>
#include <array>
#include <utility>

namespace ovin {

namespace {

constexpr int kFocusMarkInsetPx = 3;

constexpr int kGlyphWidthPx = 9;
constexpr int kGlyphHeightPx = 6;
using GlyphRows = std::array<int, kGlyphHeightPx>;
constexpr GlyphRows kUpArrowRows{0, 1, 3, 5, 7, 0};
constexpr GlyphRows kDownArrowRows{0, 7, 5, 3, 1, 0};

std::unique_ptr<WatchTimer> makeQtTimer() { return std::make_unique<QtWatchTimer>(); }

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

// --- TTimerSpeedButton ---

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

// --- TSpinButton ---

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

// --- TSpinEdit ---

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
