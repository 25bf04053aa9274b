#pragma once

#include <windows.h>

namespace ovin::win32 {

/// A window class of the program's own: its name and procedure, and what the system draws for it.
struct WindowClassSpec {
    const wchar_t* name = nullptr;
    WNDPROC procedure = nullptr;
    /// Class styles, e.g. CS_DBLCLKS for a window that wants double clicks.
    UINT style = 0;
    /// The system cursor over the window; none for a window that is never seen (its cursor stays as it was).
    const wchar_t* cursor = IDC_ARROW;
    /// The system fills the background in the button-face colour before each paint; otherwise the window paints
    /// all of it.
    bool buttonFace = false;
    /// An icon resource of `instance` for the title bar and the task bar (both sizes); 0 for the system's.
    int iconId = 0;
    /// The module that owns the class and its icon; none for the program's own.
    HINSTANCE instance = nullptr;
};

/// The icon resource `id` of `instance` at the size of the system metric `sizeMetric` (SM_CXICON, SM_CXSMICON);
/// shared, so the system frees it with the module.
HICON LoadSharedIcon(HINSTANCE instance, int id, int sizeMetric);

/// Registers the class unless the process has one of that name already (an earlier window of its kind
/// registered it); true when the class can be used.
bool RegisterWindowClass(const WindowClassSpec& spec);

}  // namespace ovin::win32
