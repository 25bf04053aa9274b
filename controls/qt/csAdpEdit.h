#pragma once

#include "controls/FocusColour.h"
#include "controls/FormFocus.h"
#include "controls/TAlignment.h"

#include <QColor>
#include <QLineEdit>

namespace ovin {

/// A single-line edit that shows ColorOnEnter as its background while it is the focused control of its
/// window, aligns its text by Alignment, and with TabOnEnter turns Enter into a move to the next control
/// (Shift+Enter: the previous one).
///
/// `Color` is the background (the palette's Base colour). The Enter key is seen first by the edit's event
/// filters, which may eat it; the focus move itself is queued, so it happens after the key handling is over.
class TadpEdit final : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QColor Color READ Color WRITE setColor)
    Q_PROPERTY(QColor ColorOnEnter READ ColorOnEnter WRITE setColorOnEnter)
    Q_PROPERTY(ovin::TAlignment Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(bool TabOnEnter READ TabOnEnter WRITE setTabOnEnter)
public:
    explicit TadpEdit(QWidget* parent = nullptr);

    QColor Color() const;
    void setColor(const QColor& color);

    /// The background while focused; at construction the edit's own colour, so focusing changes nothing.
    QColor ColorOnEnter() const { return m_colorOnEnter; }
    void setColorOnEnter(const QColor& color) { m_colorOnEnter = color; }

    TAlignment Alignment() const { return m_alignment; }
    /// Re-aligns the text (which stays as it is) when the alignment differs from the current one.
    void setAlignment(TAlignment alignment);

    bool TabOnEnter() const { return m_tabOnEnter; }
    void setTabOnEnter(bool on) { m_tabOnEnter = on; }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QColor m_colorOnEnter;
    FocusColour m_focusColour;
    TAlignment m_alignment = taLeftJustify;
    bool m_tabOnEnter = false;
    FormFocus m_formFocus;
};

}  // namespace ovin
