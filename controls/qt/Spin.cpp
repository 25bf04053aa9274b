#include "controls/qt/Spin.h"

#include "controls/qt/SystemBeep.h"

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

constexpr int kFirstRepeatMs = 400;
constexpr int kNextRepeatMs = 100;
constexpr int kMinButtonWidthPx = 15;
constexpr int kFocusMarkInsetPx = 3;
constexpr int kBorderPx = 1;

constexpr int kGlyphWidthPx = 9;
constexpr int kGlyphHeightPx = 6;
using GlyphRows = std::array<int, kGlyphHeightPx>;
constexpr GlyphRows kUpArrowRows{0, 1, 3, 5, 7, 0};
constexpr GlyphRows kDownArrowRows{0, 7, 5, 3, 1, 0};

class QtRepeatTimer final : public RepeatTimer {
public:
    explicit QtRepeatTimer(QObject* parent)
        : RepeatTimer(parent)
        , m_timer(new QTimer(this))
    {
        connect(m_timer, &QTimer::timeout, this, &RepeatTimer::Timer);
    }

    // QTimer restarts its countdown when the interval changes while it runs, as the repeat rhythm expects.
    void setInterval(int intervalMs) override { m_timer->setInterval(intervalMs); }
    int interval() const override { return m_timer->interval(); }
    void setEnabled(bool enabled) override
    {
        if (enabled)
            m_timer->start();
        else
            m_timer->stop();
    }
    bool isEnabled() const override { return m_timer->isActive(); }

private:
    QTimer* m_timer;
};

RepeatTimerFactory& repeatTimerFactory()
{
    static RepeatTimerFactory factory;
    return factory;
}

RepeatTimer* makeRepeatTimer(QObject* parent)
{
    if (const RepeatTimerFactory& factory = repeatTimerFactory())
        return factory(parent);
    return new QtRepeatTimer(parent);
}

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

bool isTabStop(const QWidget* widget)
{
    return (widget->focusPolicy() & Qt::TabFocus) != 0;
}

bool canTakeFocus(const QWidget* widget)
{
    return widget->isVisible() && widget->isEnabled();
}

// Steps wrap around at the ends of the 32-bit range instead of overflowing.
int wrappingAdd(int a, int b)
{
    return static_cast<int>(static_cast<quint32>(a) + static_cast<quint32>(b));
}

int wrappingSubtract(int a, int b)
{
    return static_cast<int>(static_cast<quint32>(a) - static_cast<quint32>(b));
}

// The characters a key press types, as the system's character message carries them: Ctrl with a letter types
// the matching control character (so Ctrl+C stays usable when typing is off), and Delete edits without typing.
QString typedText(const QKeyEvent& event)
{
    if (event.key() == Qt::Key_Delete)
        return {};
    const QString text = event.text();
    const bool ctrlOnly =
        (event.modifiers() & Qt::ControlModifier) && !(event.modifiers() & Qt::AltModifier);
    if (ctrlOnly && text.size() == 1) {
        const char16_t letter = text.at(0).toUpper().unicode();
        if (letter >= u'A' && letter <= u'Z')
            return QString(QChar(letter - u'A' + 1));
    }
    return text;
}

} // namespace

// --- TTimerSpeedButton ---

TTimerSpeedButton::TTimerSpeedButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void TTimerSpeedButton::setRepeatFlags(RepeatFlags flags)
{
    if (flags == m_flags)
        return;
    m_flags = flags;
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

RepeatTimerFactory TTimerSpeedButton::setRepeatTimerFactory(RepeatTimerFactory factory)
{
    return std::exchange(repeatTimerFactory(), std::move(factory));
}

QSize TTimerSpeedButton::sizeHint() const
{
    return m_glyph.size() / m_numGlyphs + QSize(6, 4);
}

void TTimerSpeedButton::mousePressEvent(QMouseEvent* event)
{
    emit MouseDown(this, event->button());
    QAbstractButton::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        m_holdsMouse = true;
    if (m_flags & AutoRepeat) {
        if (!m_timer) {
            m_timer = makeRepeatTimer(this);
            connect(m_timer, &RepeatTimer::Timer, this, &TTimerSpeedButton::repeatTick);
        }
        m_timer->setInterval(kFirstRepeatMs);
        m_timer->setEnabled(true);
    }
    event->accept();
}

void TTimerSpeedButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_holdsMouse = false;
    QAbstractButton::mouseReleaseEvent(event);
    if (m_timer)
        m_timer->setEnabled(false);
    event->accept();
}

void TTimerSpeedButton::repeatTick()
{
    m_timer->setInterval(kNextRepeatMs);
    // isDown() turns false while the held pointer is off the button, which pauses the repeat.
    if (!isDown() || !m_holdsMouse)
        return;
    try {
        // Not click(): that would take the pressed look away from a button that is still held.
        emit clicked(false);
    } catch (...) {
        m_timer->setEnabled(false);
        throw;
    }
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
    painter.drawPixmap(QPoint((width() - glyphSize.width()) / 2 + shift,
                              (height() - glyphSize.height()) / 2 + shift),
                       glyph);

    if (m_flags & FocusMark) {
        // Drawn by hand: styles show focus frames only after keyboard navigation, but this mark must always
        // show which arrow Space clicks.
        const QRect mark = rect()
                               .adjusted(kFocusMarkInsetPx, kFocusMarkInsetPx, -kFocusMarkInsetPx,
                                         -kFocusMarkInsetPx)
                               .translated(shift, shift);
        painter.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
        painter.drawRect(mark.adjusted(0, 0, -1, -1));
    }
}

// --- TSpinButton ---

TSpinButton::TSpinButton(QWidget* parent)
    : QWidget(parent)
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
    m_activeButton = m_upButton;
}

TTimerSpeedButton* TSpinButton::createButton()
{
    auto* button = new TTimerSpeedButton(this);
    connect(button, &TTimerSpeedButton::clicked, this, [this, button] { buttonClicked(button); });
    connect(button, &TTimerSpeedButton::MouseDown, this, &TSpinButton::buttonPressed);
    button->setRepeatFlags(TTimerSpeedButton::AutoRepeat);
    return button;
}

QPixmap TSpinButton::UpGlyph() const
{
    return m_upButton->Glyph();
}

void TSpinButton::setUpGlyph(const QPixmap& glyph)
{
    loadGlyph(m_upButton, glyph, kUpArrowRows);
}

QPixmap TSpinButton::DownGlyph() const
{
    return m_downButton->Glyph();
}

void TSpinButton::setDownGlyph(const QPixmap& glyph)
{
    loadGlyph(m_downButton, glyph, kDownArrowRows);
}

int TSpinButton::UpNumGlyphs() const
{
    return m_upButton->NumGlyphs();
}

void TSpinButton::setUpNumGlyphs(int count)
{
    m_upButton->setNumGlyphs(count);
}

int TSpinButton::DownNumGlyphs() const
{
    return m_downButton->NumGlyphs();
}

void TSpinButton::setDownNumGlyphs(int count)
{
    m_downButton->setNumGlyphs(count);
}

bool TSpinButton::TabStop() const
{
    return isTabStop(this);
}

void TSpinButton::setTabStop(bool on)
{
    setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
}

QSize TSpinButton::sizeHint() const
{
    return {20, 25};
}

QSize TSpinButton::minimumSizeHint() const
{
    return {kMinButtonWidthPx, 2};
}

void TSpinButton::FitButtons(int& width, int& height)
{
    width = std::max(width, kMinButtonWidthPx);
    m_upButton->setGeometry(0, 0, width, height / 2);
    // The buttons share one pixel row, and the down button takes the odd pixel of an odd height.
    const int upHeight = m_upButton->height();
    m_downButton->setGeometry(0, upHeight - 1, width, height - upHeight + 1);
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
    auto flags = m_activeButton->repeatFlags();
    flags.setFlag(TTimerSpeedButton::FocusMark, on);
    m_activeButton->setRepeatFlags(flags);
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
        m_activeButton->click();
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
    if (!TabStop() || !canTakeFocus(this) || button == m_activeButton)
        return;
    setFocusMark(false);
    m_activeButton = button;
    if (hasFocus())
        setFocusMark(true);
}

void TSpinButton::buttonPressed(TTimerSpeedButton* button, Qt::MouseButton mouseButton)
{
    if (mouseButton != Qt::LeftButton)
        return;
    SetActiveButton(button);
    if (m_focusControl && isTabStop(m_focusControl) && canTakeFocus(m_focusControl)
        && !m_focusControl->hasFocus())
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

TSpinEdit::TSpinEdit(QWidget* parent)
    : QLineEdit(parent)
    , m_button(new TSpinButton(this))
{
    m_button->resize(15, 17);
    m_button->setFocusControl(this);
    connect(m_button, &TSpinButton::UpClick, this, &TSpinEdit::StepUp);
    connect(m_button, &TSpinButton::DownClick, this, &TSpinEdit::StepDown);
    setText(QStringLiteral("0"));
    placeButton();
    setTextArea();
}

int TSpinEdit::Value() const
{
    bool ok = false;
    const int value = text().toInt(&ok, 10);
    return ok ? value : m_minValue;
}

void TSpinEdit::setValue(int value)
{
    setText(QString::number(ClampValue(value)));
}

int TSpinEdit::ClampValue(int value) const
{
    if (m_minValue == m_maxValue)
        return value;
    if (value < m_minValue)
        return m_minValue;
    if (value > m_maxValue)
        return m_maxValue;
    return value;
}

void TSpinEdit::setEditorEnabled(bool on)
{
    m_editorEnabled = on;
    // Dropping text is pasting by another way.
    setAcceptDrops(on);
}

bool TSpinEdit::editsAllowed() const
{
    return m_editorEnabled && !isReadOnly();
}

void TSpinEdit::StepUp()
{
    if (isReadOnly()) {
        systemBeep();
        return;
    }
    setValue(wrappingAdd(Value(), m_increment));
}

void TSpinEdit::StepDown()
{
    if (isReadOnly()) {
        systemBeep();
        return;
    }
    setValue(wrappingSubtract(Value(), m_increment));
}

bool TSpinEdit::IsAcceptedChar(QChar ch) const
{
    const char16_t code = ch.unicode();
    bool accepted = (code >= u'0' && code <= u'9') || code == u'+' || code == u'-'
                    || QString(ch) == QLocale().decimalPoint() || (code < 32 && code != u'\r');
    if (!m_editorEnabled && (code == u'\b' || code >= 32))
        accepted = false;
    return accepted;
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
        systemBeep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TSpinEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (!acceptsAll(event->commitString())) {
        systemBeep();
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
    const bool clickIntoText = event->reason() == Qt::MouseFocusReason
                               && (QGuiApplication::mouseButtons() & Qt::LeftButton)
                               && !m_button->underMouse();
    if (m_formFocus.enters() && m_autoSelect && !clickIntoText)
        selectAll();
    // The base edit selects everything on keyboard entry by itself; without AutoSelect it must not.
    const bool keyboardEntry = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason
                               || event->reason() == Qt::ShortcutFocusReason;
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
    if (!m_formFocus.exits(*event))
        return;
    // Text that does not read as a number is left alone, so that an emptied field stays empty.
    const int value = Value();
    if (ClampValue(value) != value)
        setValue(value);
}

int TSpinEdit::MinimumHeight() const
{
    const int systemHeight = QFontMetrics(QApplication::font()).height();
    const int ownHeight = fontMetrics().height();
    return ownHeight + std::min(systemHeight, ownHeight) / 4 + 4 * kBorderPx + 2;
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

void TSpinEdit::setTextArea()
{
    setTextMargins(0, 0, m_button->width() + 2, 0);
}

} // namespace ovin
