#pragma once

#include <windows.h>

#include "controls/Geometry.h"

namespace ovin::win32 {

/// The pixel sizes of the window, its menu and its dialogs are given at 96 dots per inch; at 125-200 % they are
/// scaled by these helpers so that everything is drawn at the display's own resolution instead of being blurred
/// up by the system.
constexpr int kDefaultDpi = kLayoutDpi;

/// The dots per inch the window is shown at (the system's value on systems without per-monitor awareness).
int dpiOf(HWND window);

inline int scaled(int px, int dpi) { return ScaledPx(px, dpi); }

/// A layout rectangle at `dpi`, as the window system's rectangle.
inline RECT scaledRect(const Rect& r, int dpi)
{
    const Rect s = ScaledRect(r, dpi);
    return {s.left, s.top, s.left + s.width, s.top + s.height};
}

/// The pixel height of a font of the given point size; negative, as LOGFONT wants a character height.
inline int fontHeightFor(int points, int dpi) { return -MulDiv(points, dpi, 72); }

}  // namespace ovin::win32
