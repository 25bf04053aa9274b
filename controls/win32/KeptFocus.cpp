#include "controls/win32/KeptFocus.h"

namespace ovin::win32 {

bool KeptFocus::handle(HWND window, UINT message, WPARAM wParam)
{
    if (message == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE) {
        // The keyboard is still with the control while its window hears that it is deactivated.
        const HWND focus = GetFocus();
        if (focus && IsChild(window, focus))
            m_control = focus;
        return false;
    }
    // A minimised window is activated without being shown: the keyboard stays with the window.
    if ((message == WM_ACTIVATE && HIWORD(wParam) == 0) || message == WM_SETFOCUS) {
        if (!m_control || !IsWindow(m_control) || !IsChild(window, m_control) || !IsWindowVisible(m_control) ||
            !IsWindowEnabled(m_control))
            return false;
        SetFocus(m_control);
        return true;
    }
    return false;
}

FocusLoss FocusLossOf(HWND control, HWND gaining)
{
    if (gaining && GetAncestor(gaining, GA_ROOT) == GetAncestor(control, GA_ROOT))
        return FocusLoss::Ordinary;
    return FocusLoss::Borrowed;
}

}  // namespace ovin::win32
