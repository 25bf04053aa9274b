#pragma once

#include <windows.h>

#include "controls/FormFocus.h"

namespace ovin::win32 {

/// The control of a top-level window that had the keyboard when the window was deactivated gets it back when the
/// window is activated again, as in every dialog of the system; without it the window itself would take the
/// keyboard and the control would have lost it for good.
class KeptFocus final {
public:
    /// Call from the window's procedure for WM_ACTIVATE and WM_SETFOCUS; true when the message was handled (the
    /// keyboard is back with the control), false when the window's default handling is to run.
    bool handle(HWND window, UINT message, WPARAM wParam);

private:
    HWND m_control = nullptr;
};

/// Why `control` is losing the keyboard (asked on WM_KILLFOCUS): borrowed while its window, being deactivated,
/// keeps it for the control to get back with the next activation; ordinary otherwise.
FocusLoss FocusLossOf(HWND control);

}  // namespace ovin::win32
