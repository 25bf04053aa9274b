#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "controls/AutoRepeat.h"
#include "controls/SpinRules.h"

namespace ovin {

/// The spin edit (`TSpinEdit`): an edit whose text is its value, with two arrow buttons of its own at the right
/// edge that step it and repeat while held. The value rules (reading, limits, accepted keys) are the shared ones;
/// this class draws and forwards. The edit is the control that takes the focus and the tab stop.
class Win32SpinEdit final {
public:
    /// `bounds` is the whole control, arrows included, in the parent's client coordinates, at `dpi` dots per
    /// inch, which also sizes the arrows.
    Win32SpinEdit(HWND parent, int controlId, RECT bounds, SpinLimits limits, HFONT font, int dpi = kLayoutDpi);
    ~Win32SpinEdit();
    Win32SpinEdit(const Win32SpinEdit&) = delete;
    Win32SpinEdit& operator=(const Win32SpinEdit&) = delete;

    HWND edit() const { return m_edit; }
    HWND arrows() const { return m_arrows; }

    std::int32_t Value() const;
    void setValue(std::int32_t value);
    void setEnabled(bool on);
    /// Moves the control to `bounds` at `dpi` (a display of another resolution) and fits its arrows again.
    void place(RECT bounds, int dpi);
    void setFont(HFONT font);

private:
    static LRESULT CALLBACK editProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR self);
    static LRESULT CALLBACK arrowsProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT arrows(UINT message, WPARAM wParam, LPARAM lParam);
    /// Puts the arrows at the inside's right end, a button wide at the control's resolution.
    void placeArrows();
    void step(int direction);
    int partAt(int y) const;

    SpinLimits m_limits;
    HWND m_edit = nullptr;
    HWND m_arrows = nullptr;
    SpinButtonFit m_fit{};
    int m_dpi = kLayoutDpi;
    /// +1 while the up arrow is held, -1 the down arrow, 0 none.
    int m_held = 0;
    bool m_pointerInside = false;
    AutoRepeat m_repeat;
};

}  // namespace ovin
