#pragma once

#include <QPushButton>

namespace ovin {

/// A push button whose bold caption stays bold in a font that has no bold
/// face: the window's "MS Sans Serif" comes as bitmaps only, which the font
/// system cannot embolden, so the caption is drawn twice a pixel apart, as the
/// desktop the window was drawn for makes such a font bold.
class OverstruckButton : public QPushButton {
public:
    OverstruckButton(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace ovin
