#pragma once

#include "controls/FormFocus.h"
#include "controls/SpinRules.h"
#include "controls/qt/TSpinButton.h"

#include <QLineEdit>

#include <functional>

namespace ovin {

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
