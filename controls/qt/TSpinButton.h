#pragma once

#include "controls/ActiveArrow.h"
#include "controls/SpinRules.h"
#include "controls/qt/TTimerSpeedButton.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>

namespace ovin {

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

}  // namespace ovin
