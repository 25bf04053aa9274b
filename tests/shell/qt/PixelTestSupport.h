#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

#include <cstdlib>

namespace ovin::test {

/// How many pixels of `area` (clipped to the image) satisfy `check`.
template <typename Check>
int countPixels(const QImage& image, const QRect& area, Check check)
{
    int count = 0;
    const QRect clipped = area & image.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            count += check(image.pixelColor(x, y)) ? 1 : 0;
    return count;
}

/// The number of pixels of `area` that lie in the image.
inline int pixelsIn(const QImage& image, const QRect& area)
{
    const QRect clipped = area & image.rect();
    return clipped.width() * clipped.height();
}

inline bool isDark(QColor c) { return c.alpha() > 200 && c.red() + c.green() + c.blue() < 3 * 80; }

inline bool isRed(QColor c) { return c.alpha() > 128 && c.red() > 180 && c.green() < 80 && c.blue() < 80; }

/// Far enough from `background` to be part of text drawn on it.
inline bool standsOut(QColor c, QColor background)
{
    return std::abs(c.red() - background.red()) + std::abs(c.green() - background.green()) +
               std::abs(c.blue() - background.blue()) >
           200;
}

}  // namespace ovin::test
