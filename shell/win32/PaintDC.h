#pragma once

#include <windows.h>

namespace ovin::win32 {

/// The device context of one WM_PAINT: BeginPaint on construction, EndPaint on destruction, so the update region
/// is validated on every path out of the handler.
class PaintDC final {
public:
    explicit PaintDC(HWND window) : m_window(window) { m_dc = BeginPaint(window, &m_paint); }
    ~PaintDC() { EndPaint(m_window, &m_paint); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;

    HDC get() const { return m_dc; }
    const RECT& dirty() const { return m_paint.rcPaint; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc = nullptr;
};

}  // namespace ovin::win32
