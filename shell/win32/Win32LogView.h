#pragma once

#include <windows.h>

namespace ovin {

class EventLog;

/// Memo1: the log view, a child window of our own over the shared log document.
class Win32LogView final {
public:
    /// Creates the child window inside `parent` with the control id `controlId`, observing `log` for its life.
    Win32LogView(HWND parent, EventLog& log, int controlId);
    ~Win32LogView();
    Win32LogView(const Win32LogView&) = delete;
    Win32LogView& operator=(const Win32LogView&) = delete;
    HWND hwnd() const;
    /// Opens the find bar (Ctrl+F inside the view does the same).
    void openFindBar();

private:
    HWND m_window = nullptr;
};

}  // namespace ovin
