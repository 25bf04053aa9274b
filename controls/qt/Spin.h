#pragma once

#include "controls/ActiveArrow.h"
#include "controls/AutoRepeat.h"
#include "controls/FormFocus.h"
#include "controls/SpinRules.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace ovin {

/// A flat push button with a glyph that repeats its click while it is held down: the first repeat comes
/// 400 ms after the press, the next ones every 100 ms while the button stays pressed under the pointer, and
/// the release over the button gives the usual click. It never takes the keyboard focus itself.
///
/// The repeated clicks are emitted as `clicked()`; `MouseDown` tells of any mouse button going down before the
/// button shows itself pressed.
class TTimerSpeedButton final : public QAbstractButton {
    Q_OBJECT
public:
    enum RepeatFlag {
        FocusMark = 0x1,   ///< draw a focus rectangle on the button
        AutoRepeat = 0x2,  ///< repeat the click while the button is held
    };
    Q_DECLARE_FLAGS(RepeatFlags, RepeatFlag)

    explicit TTimerSpeedButton(QWidget* parent = nullptr);

    RepeatFlags repeatFlags() const { return m_flags; }
    void setRepeatFlags(RepeatFlags flags);

    /// The glyph image as it was given; the colour of its bottom-left pixel is drawn transparent.
    QPixmap Glyph() const { return m_glyph; }
    void setGlyph(const QPixmap& glyph);

    /// How many images of equal width the glyph holds side by side: normal, disabled, pressed, held down.
    int NumGlyphs() const { return m_numGlyphs; }
    /// Takes 1 to 4; other values are brought into that range.
    void setNumGlyphs(int count);

    /// The auto-repeat timer, or null before the first press that needed it.
    WatchTimer* repeatTimer() const { return m_repeat.timer(); }

    /// How the button makes its auto-repeat timer on the first press that needs it; a Qt timer unless told.
    void setTimerFactory(TimerFactory factory);

    QSize sizeHint() const override;

signals:
    void MouseDown(ovin::TTimerSpeedButton* button, Qt::MouseButton mouseButton);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap glyphToDraw() const;

    ovin::AutoRepeat m_repeat;
    RepeatFlags m_flags;
    QPixmap m_glyph;
    QPixmap m_transparentGlyph;
    int m_numGlyphs = 1;
    bool m_holdsMouse = false;
};

/// Two auto-repeating arrow buttons stacked vertically, up above and down below, with keyboard handling and a
/// focus mark on the active button.
///
/// Events are Qt signals named after them: `UpClick` for OnUpClick and `DownClick` for OnDownClick, each
/// carrying the spin button as sender. Several receivers may connect; there is no single-handler property.
/// `TabStop` maps to the focus policy: on is Qt::StrongFocus, off (the default) is Qt::NoFocus.
class TSpinButton final : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QPixmap UpGlyph READ UpGlyph WRITE setUpGlyph)
    Q_PROPERTY(QPixmap DownGlyph READ DownGlyph WRITE setDownGlyph)
    Q_PROPERTY(int UpNumGlyphs READ UpNumGlyphs WRITE setUpNumGlyphs)
    Q_PROPERTY(int DownNumGlyphs READ DownNumGlyphs WRITE setDownNumGlyphs)
    Q_PROPERTY(QWidget* FocusControl READ FocusControl WRITE setFocusControl)
    Q_PROPERTY(bool TabStop READ TabStop WRITE setTabStop)
public:
    explicit TSpinButton(QWidget* parent = nullptr);

    QPixmap UpGlyph() const;
    /// A null pixmap loads the built-in up arrow and sets UpNumGlyphs to 1.
    void setUpGlyph(const QPixmap& glyph);
    QPixmap DownGlyph() const;
    /// A null pixmap loads the built-in down arrow and sets DownNumGlyphs to 1.
    void setDownGlyph(const QPixmap& glyph);
    int UpNumGlyphs() const;
    void setUpNumGlyphs(int count);
    int DownNumGlyphs() const;
    void setDownNumGlyphs(int count);

    /// The control that takes the focus when a button is pressed; becomes null when that control is destroyed.
    QWidget* FocusControl() const { return m_focusControl; }
    void setFocusControl(QWidget* control) { m_focusControl = control; }

    bool TabStop() const;
    void setTabStop(bool on);

    TTimerSpeedButton* upButton() const { return m_upButton; }
    TTimerSpeedButton* downButton() const { return m_downButton; }
    /// The button that carries the focus mark and that Space clicks.
    TTimerSpeedButton* activeButton() const { return m_active.active() == ActiveArrow::Up ? m_upButton : m_downButton; }

    /// Makes `button` the active one; only a spin button that can hold the focus (TabStop on) changes it.
    void SetActiveButton(TTimerSpeedButton* button);

    /// How both arrows make their auto-repeat timers.
    void setTimerFactory(const TimerFactory& factory);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void UpClick(ovin::TSpinButton* sender);
    void DownClick(ovin::TSpinButton* sender);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TTimerSpeedButton* createButton();
    void FitButtons(int& width, int& height);
    void buttonPressed(TTimerSpeedButton* button, Qt::MouseButton mouseButton);
    void buttonClicked(TTimerSpeedButton* button);
    void setFocusMark(bool on);

    TTimerSpeedButton* m_upButton = nullptr;
    TTimerSpeedButton* m_downButton = nullptr;
    ActiveArrow m_active;
    QPointer<QWidget> m_focusControl;
};

/// A single-line edit that holds a 32-bit integer, with arrow buttons at its right edge, optional limits, a
/// step and a character filter. When MinValue equals MaxValue the value has no limits.
///
/// The text is the value: `Value()` reads it (text that is not a 32-bit integer reads as MinValue) and
/// `setValue()` writes the clamped number.
class TSpinEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(int Value READ Value WRITE setValue)
    Q_PROPERTY(int MinValue READ MinValue WRITE setMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE setMaxValue)
    Q_PROPERTY(int Increment READ Increment WRITE setIncrement)
    Q_PROPERTY(bool EditorEnabled READ EditorEnabled WRITE setEditorEnabled)
    Q_PROPERTY(bool ReadOnly READ isReadOnly WRITE setReadOnly)
    Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE setAutoSelect)
public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    int Value() const;
    void setValue(int value);
    int MinValue() const { return m_limits.minValue; }
    void setMinValue(int value) { m_limits.minValue = value; }
    int MaxValue() const { return m_limits.maxValue; }
    void setMaxValue(int value) { m_limits.maxValue = value; }
    /// May be zero or negative; a step wraps around at the ends of the 32-bit range.
    int Increment() const { return m_increment; }
    void setIncrement(int value) { m_increment = value; }
    /// Off: nothing can be typed, pasted or cut, but the arrows still step.
    bool EditorEnabled() const { return m_editorEnabled; }
    void setEditorEnabled(bool on);
    /// On: the text is selected whenever the field is entered other than by a left click into it.
    bool AutoSelect() const { return m_autoSelect; }
    void setAutoSelect(bool on) { m_autoSelect = on; }

    /// The value brought within the limits; unchanged when there are none. The lower limit is tested first.
    int ClampValue(int value) const;
    /// The height below which the field grows back, from the field's and the system's font.
    int MinimumHeight() const;
    /// The inner arrow buttons.
    TSpinButton* Button() const { return m_button; }

    /// What sounds when an input is refused; the system beep unless told.
    void setBeep(std::function<void()> beep) { m_beep = std::move(beep); }
    /// How the arrows make their auto-repeat timers.
    void setTimerFactory(const TimerFactory& factory) { m_button->setTimerFactory(factory); }

    /// The character filter for typed characters.
    virtual bool IsAcceptedChar(QChar ch) const;

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

public slots:
    /// Adds Increment to the value; in a read-only field it only beeps.
    virtual void StepUp();
    /// Subtracts Increment from the value; in a read-only field it only beeps.
    virtual void StepDown();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool editsAllowed() const;
    bool acceptsAll(const QString& typed) const;
    void placeButton();
    void setTextArea();
    void beep() const;

    SpinLimits m_limits;
    int m_increment = 1;
    bool m_editorEnabled = true;
    bool m_autoSelect = true;
    TSpinButton* m_button = nullptr;
    FormFocus m_formFocus;
    std::function<void()> m_beep;
};

}  // namespace ovin

Q_DECLARE_OPERATORS_FOR_FLAGS(ovin::TTimerSpeedButton::RepeatFlags)
