#pragma once

#include <windows.h>

#include "controls/Geometry.h"

namespace ovin::win32 {

/// A colour of the shared tables as the system's drawing takes it.
constexpr COLORREF colorRef(const Rgb& c) { return RGB(c.red, c.green, c.blue); }

}  // namespace ovin::win32
