#pragma once

#include "controls/AutoRepeat.h"

#include <QAbstractButton>
#include <QPixmap>

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

}  // namespace ovin
