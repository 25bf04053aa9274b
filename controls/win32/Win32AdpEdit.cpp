#include "controls/win32/Win32AdpEdit.h"

#include <commctrl.h>

#include <string>

#include "controls/win32/KeptFocus.h"
#include "controls/win32/WindowText.h"

namespace ovin {

namespace {

/// Posted to the edit itself, so that the focus moves after the key has been handled, never inside it.
constexpr UINT kMoveFocus = WM_APP + 0x2D1;

DWORD alignmentStyle(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify:
        return ES_RIGHT;
    case taCenter:
        return ES_CENTER;
    case taLeftJustify:
        break;
    }
    return ES_LEFT;
}

/// Marks an edit as a TadpEdit, for the container's colour question.
constexpr wchar_t kSelfProperty[] = L"OvinAdpEdit";

Win32AdpEdit* selfOf(HWND window) { return static_cast<Win32AdpEdit*>(GetPropW(window, kSelfProperty)); }

}  // namespace

Win32AdpEdit::Win32AdpEdit(HWND parent, int controlId, RECT bounds, HFONT font, DWORD style)
    : m_color(GetSysColor(COLOR_WINDOW)), m_colorOnEnter(m_color), m_focusColour(m_color)
{
    m_window = create(parent, controlId, bounds, style);
    if (m_window && font)
        SendMessageW(m_window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

Win32AdpEdit::~Win32AdpEdit()
{
    if (m_window && IsWindow(m_window) && selfOf(m_window) == this) {
        RemoveWindowSubclass(m_window, &Win32AdpEdit::editProc, 0);
        RemovePropW(m_window, kSelfProperty);
        DestroyWindow(m_window);
    }
    if (m_brush)
        DeleteObject(m_brush);
}

HWND Win32AdpEdit::create(HWND parent, int controlId, RECT bounds, DWORD style)
{
    // The system's edit, so that typing, the caret and the painting are the standard edit's.
    const HWND window = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | alignmentStyle(m_alignment) | style,
        bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), GetModuleHandleW(nullptr), nullptr);
    if (window) {
        SetPropW(window, kSelfProperty, this);
        SetWindowSubclass(window, &Win32AdpEdit::editProc, 0, 0);
    }
    return window;
}

void Win32AdpEdit::setColor(COLORREF color)
{
    m_color = color;
    if (m_window)
        InvalidateRect(m_window, nullptr, TRUE);
}

void Win32AdpEdit::setAlignment(TAlignment alignment)
{
    if (alignment == m_alignment || !m_window)
        return;
    m_alignment = alignment;
    const HWND old = m_window;
    const HWND parent = GetParent(old);
    RECT bounds;
    GetWindowRect(old, &bounds);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&bounds), 2);
    const std::wstring text = win32::windowText(old);
    const DWORD kept = static_cast<DWORD>(GetWindowLongW(old, GWL_STYLE)) &
                       (WS_TABSTOP | WS_DISABLED | WS_CLIPSIBLINGS | WS_GROUP | ES_READONLY | ES_PASSWORD);
    const bool focused = GetFocus() == old;
    m_window = create(parent, GetDlgCtrlID(old), bounds, kept);
    SendMessageW(m_window, WM_SETFONT, SendMessageW(old, WM_GETFONT, 0, 0), FALSE);
    SetWindowTextW(m_window, text.c_str());
    // Where the old one stood among its siblings: the tab order and the overlaps stay.
    SetWindowPos(m_window, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RemoveWindowSubclass(old, &Win32AdpEdit::editProc, 0);
    RemovePropW(old, kSelfProperty);
    DestroyWindow(old);
    if (focused)
        SetFocus(m_window);
}

HBRUSH Win32AdpEdit::colourFor(HWND control, HDC dc)
{
    Win32AdpEdit* self = control ? selfOf(control) : nullptr;
    if (!self)
        return nullptr;
    if (self->m_brush)
        DeleteObject(self->m_brush);
    self->m_brush = CreateSolidBrush(self->m_color);
    SetBkColor(dc, self->m_color);
    return self->m_brush;
}

LRESULT CALLBACK Win32AdpEdit::editProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    Win32AdpEdit* self = selfOf(window);
    if (!self)
        return DefSubclassProc(window, message, wParam, lParam);
    switch (message) {
    case WM_SETFOCUS:
        if (self->m_formFocus.enters())
            self->setColor(self->m_focusColour.enter(self->m_color, self->m_colorOnEnter));
        break;
    case WM_KILLFOCUS:
        // The keyboard lent to another window comes back with the activation of the edit's own window, so the
        // focus colour stays over it.
        if (self->m_formFocus.exits(win32::FocusLossOf(window)))
            self->setColor(self->m_focusColour.exit());
        break;
    case WM_GETDLGCODE: {
        LRESULT code = DefSubclassProc(window, message, wParam, lParam);
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        // The dialog keys would take Enter for the window's default button before the edit saw it.
        if (self->m_tabOnEnter && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_CHAR:
        if (wParam == L'\r' && self->m_tabOnEnter && GetParent(window)) {
            const bool backward = GetKeyState(VK_SHIFT) < 0;
            PostMessageW(window, kMoveFocus, backward ? 1 : 0, 0);
            return 0;
        }
        break;
    case kMoveFocus: {
        const HWND root = GetAncestor(window, GA_ROOT);
        if (const HWND next = GetNextDlgTabItem(root, window, wParam != 0))
            SetFocus(next);
        return 0;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, &Win32AdpEdit::editProc, 0);
        RemovePropW(window, kSelfProperty);
        if (self->m_window == window)
            self->m_window = nullptr;
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace ovin
