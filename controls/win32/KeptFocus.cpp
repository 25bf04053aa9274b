#include "controls/win32/KeptFocus.h"

namespace ovin::win32 {

namespace {

// Set on the top-level window from its deactivation to its next activation, naming the control that gets the
// keyboard back; the control's own window procedure reads it when it loses the keyboard, right after.
constexpr wchar_t kLentProperty[] = L"OvinKeyboardLentBy";

}  // namespace

bool KeptFocus::handle(HWND window, UINT message, WPARAM wParam)
{
    if (message == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE) {
        // The keyboard is still with the control while its window hears that it is deactivated.
        const HWND focus = GetFocus();
        if (focus && IsChild(window, focus)) {
            m_control = focus;
            SetPropW(window, kLentProperty, focus);
        }
        return false;
    }
    // A minimised window is activated without being shown: the keyboard stays with the window then.
    const bool activated = message == WM_ACTIVATE && HIWORD(wParam) == 0;
    if (!activated && message != WM_SETFOCUS)
        return false;
    RemovePropW(window, kLentProperty);
    if (!m_control || !IsWindow(m_control) || !IsChild(window, m_control) || !IsWindowVisible(m_control) ||
        !IsWindowEnabled(m_control))
        return false;
    SetFocus(m_control);
    return true;
}

FocusLoss FocusLossOf(HWND control)
{
    const HWND root = GetAncestor(control, GA_ROOT);
    return root && GetPropW(root, kLentProperty) == control ? FocusLoss::Borrowed : FocusLoss::Ordinary;
}

}  // namespace ovin::win32
