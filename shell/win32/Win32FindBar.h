#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "UniqueHandle.h"

namespace ovin::win32 {

/// The find bar at the foot of the log view: "Najít:", the text to look for, "Předchozí", "Další", what the last
/// search found and a close box. Hidden until asked for, and then it takes no room, so the view looks as always.
/// Enter and F3 in the text look further (Shift: back), Esc closes the bar.
class Win32FindBar final {
public:
    struct Handlers {
        /// Look for `needle`, backward or forward from the caret.
        std::function<void(const std::string& needle, bool backward)> find;
        /// The text to look for changed (its matches are highlighted).
        std::function<void(const std::string& needle)> needleChanged;
        /// The bar was closed; the view takes the focus and the room back.
        std::function<void()> closed;
    };

    Win32FindBar(HWND parent, Handlers handlers);
    ~Win32FindBar();
    Win32FindBar(const Win32FindBar&) = delete;
    Win32FindBar& operator=(const Win32FindBar&) = delete;

    HWND hwnd() const { return m_bar.get(); }
    HWND needleEdit() const { return m_edit; }
    /// The control ids of the bar's edit and of the line that says what the last search found.
    static constexpr int kNeedleId = 100;
    static constexpr int kStatusId = 104;
    bool isOpen() const;
    /// The bar's height at the window's resolution.
    int height() const;

    void show();
    void close();
    /// Takes the font of a display of `dpi` dots per inch; the next `place` lays the controls out for it.
    void setDpi(int dpi);
    /// Puts the bar into `area` (the parent's coordinates) and lays its controls out.
    void place(const RECT& area);

    std::string needle() const;
    void setNeedle(std::string_view text);
    void focusNeedle();
    /// Shows whether the last search found anything.
    void setFound(bool found);

private:
    static LRESULT CALLBACK barProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK editProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void layout();
    void createFont();
    int textWidth(const wchar_t* text) const;

    Handlers m_handlers;
    FontHandle m_font;
    int m_dpi = 96;
    WindowHandle m_bar;
    HWND m_label = nullptr;
    HWND m_edit = nullptr;
    HWND m_previous = nullptr;
    HWND m_next = nullptr;
    HWND m_status = nullptr;
    HWND m_close = nullptr;
};

}  // namespace ovin::win32
