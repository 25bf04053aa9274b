#pragma once

namespace ovin {

/// A point in pixels.
struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

/// A size in pixels.
struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

/// A rectangle in pixels: its top-left corner and its size. `right()` and `bottom()` are the first column and
/// row outside it, as the window system's rectangles count them.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int right() const { return left + width; }
    int bottom() const { return top + height; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

/// The resolution at which the layout's pixel measures are given (100 %). At 125-200 % every measure is drawn
/// at the display's own resolution instead of being blurred up by the system.
inline constexpr int kLayoutDpi = 96;

/// A layout measure at `dpi`, to the nearest pixel (a half away from zero, as the window system rounds).
constexpr int ScaledPx(int px, int dpi)
{
    const long long product = static_cast<long long>(px) * dpi;
    const long long half = kLayoutDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kLayoutDpi : -((-product + half) / kLayoutDpi));
}

/// A layout rectangle at `dpi`. Its edges are scaled, not its size, so that controls that touch at 100 % still
/// touch and none overlaps its neighbour by a rounded pixel.
constexpr Rect ScaledRect(const Rect& r, int dpi)
{
    const int left = ScaledPx(r.left, dpi);
    const int top = ScaledPx(r.top, dpi);
    return {left, top, ScaledPx(r.left + r.width, dpi) - left, ScaledPx(r.top + r.height, dpi) - top};
}

/// A colour as red, green and blue from 0 to 255.
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

}  // namespace ovin
