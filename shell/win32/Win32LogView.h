#pragma once

#include <windows.h>

#include <memory>

namespace ovin {

class EventLog;
class LogDocument;

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
    /// Draws the log at `dpi` dots per inch from now on (the window moved to a monitor of another resolution).
    void setDpi(int dpi);

    /// The caret, the selection and the lines as the view holds them.
    const LogDocument& document() const;

private:
    class Window;
    std::unique_ptr<Window> m_window;
};

}  // namespace ovin
