#pragma once

#include <windows.h>

#include "controls/FocusColour.h"
#include "controls/FormFocus.h"
#include "controls/TAlignment.h"

namespace ovin {

/// The focus-colour edit (`TadpEdit`): the system's single-line edit (window class "Edit") that shows
/// ColorOnEnter as its background while it has the keyboard, aligns its text by Alignment, and with TabOnEnter
/// turns Enter into a move to the next control of its window (Shift+Enter: the previous one); without it,
/// Enter is the edit's own key as usual and moves nothing.
///
/// The system asks an edit's container for its colours: the container hands that question to `colourFor`.
class Win32AdpEdit final {
public:
    /// `style` adds to the edit's own styles (a tab stop, say); `font` null keeps the system font.
    Win32AdpEdit(HWND parent, int controlId, RECT bounds, HFONT font, DWORD style);
    ~Win32AdpEdit();
    Win32AdpEdit(const Win32AdpEdit&) = delete;
    Win32AdpEdit& operator=(const Win32AdpEdit&) = delete;

    /// The edit's window; a new one after each change of Alignment.
    HWND hwnd() const { return m_window; }

    COLORREF Color() const { return m_color; }
    void setColor(COLORREF color);
    /// The background while focused; at construction the edit's own colour, so focusing changes nothing.
    COLORREF ColorOnEnter() const { return m_colorOnEnter; }
    void setColorOnEnter(COLORREF color) { m_colorOnEnter = color; }

    TAlignment Alignment() const { return m_alignment; }
    /// Another alignment makes the window anew with that style (the system reads it only at creation); the
    /// text, the place, the font and the z-order stay.
    void setAlignment(TAlignment alignment);

    bool TabOnEnter() const { return m_tabOnEnter; }
    void setTabOnEnter(bool on) { m_tabOnEnter = on; }

    /// For the container's WM_CTLCOLOREDIT: the brush of a TadpEdit's colour with `dc` set to it, or null when
    /// `control` is no TadpEdit.
    static HBRUSH colourFor(HWND control, HDC dc);

private:
    static LRESULT CALLBACK editProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    HWND create(HWND parent, int controlId, RECT bounds, DWORD style);

    HWND m_window = nullptr;
    COLORREF m_color;
    COLORREF m_colorOnEnter;
    FocusColour m_focusColour;
    FormFocus m_formFocus;
    TAlignment m_alignment = taLeftJustify;
    bool m_tabOnEnter = false;
    HBRUSH m_brush = nullptr;
};

}  // namespace ovin
