#include "controls/win32/Win32SpinEdit.h"

#include <commctrl.h>

#include <string>

#include "controls/win32/WindowClass.h"
#include "controls/win32/Win32WatchTimer.h"

namespace ovin {

namespace {

constexpr wchar_t kArrowsClass[] = L"OvinSpinArrows";

std::string textOf(HWND window)
{
    wchar_t buffer[64]{};
    const int n = GetWindowTextW(window, buffer, 63);
    std::string text;
    for (int i = 0; i < n; ++i)
        text.push_back(buffer[i] < 128 ? static_cast<char>(buffer[i]) : '?');
    return text;
}

void setTextOf(HWND window, const std::string& text)
{
    const std::wstring wide(text.begin(), text.end());
    SetWindowTextW(window, wide.c_str());
}

}  // namespace

Win32SpinEdit::Win32SpinEdit(HWND parent, int controlId, RECT bounds, SpinLimits limits, HFONT font, int dpi)
    : m_limits(limits),
      m_repeat([] { return std::make_unique<Win32WatchTimer>(); }, [this] { step(m_held); },
               [this] { return m_held != 0 && m_pointerInside; })
{
    m_repeat.setEnabled(true);
    win32::RegisterWindowClass({.name = kArrowsClass, .procedure = &Win32SpinEdit::arrowsProc});
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // Clipping its children: the edit's own painting would cover the arrows.
    m_edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"0",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | ES_AUTOHSCROLL | ES_MULTILINE, 0, 0,
                             0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance, nullptr);
    SetWindowSubclass(m_edit, &Win32SpinEdit::editProc, 1, reinterpret_cast<DWORD_PTR>(this));
    m_arrows =
        CreateWindowExW(0, kArrowsClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, m_edit, nullptr, instance, this);
    SetWindowLongPtrW(m_arrows, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    setFont(font);
    place(bounds, dpi);
    setValue(m_limits.minValue);
}

void Win32SpinEdit::place(RECT bounds, int dpi)
{
    m_dpi = dpi;
    MoveWindow(m_edit, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, TRUE);
    placeArrows();
}

void Win32SpinEdit::placeArrows()
{
    // The arrows take a button's width, at the control's resolution, of the inside's right end, as tall as the
    // inside (within the client edge).
    RECT inside;
    GetClientRect(m_edit, &inside);
    m_fit = FitButtons(Size{ScaledPx(kMinSpinButtonWidthPx, m_dpi), inside.bottom});
    // The text ends before the arrows.
    SendMessageW(m_edit, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, m_fit.size.width + 2));
    MoveWindow(m_arrows, inside.right - m_fit.size.width, 0, m_fit.size.width, m_fit.size.height, TRUE);
}

void Win32SpinEdit::setFont(HFONT font)
{
    SendMessageW(m_edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    // A new font resets the edit's margins.
    if (m_fit.size.width > 0)
        SendMessageW(m_edit, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, m_fit.size.width + 2));
}

Win32SpinEdit::~Win32SpinEdit()
{
    if (IsWindow(m_edit)) {
        RemoveWindowSubclass(m_edit, &Win32SpinEdit::editProc, 1);
        SetWindowLongPtrW(m_arrows, GWLP_USERDATA, 0);
    }
}

std::int32_t Win32SpinEdit::Value() const { return m_limits.ReadValue(textOf(m_edit)); }

void Win32SpinEdit::setValue(std::int32_t value) { setTextOf(m_edit, m_limits.WriteValue(value)); }

void Win32SpinEdit::setEnabled(bool on)
{
    EnableWindow(m_edit, on);
    EnableWindow(m_arrows, on);
}

void Win32SpinEdit::step(int direction)
{
    if (direction == 0)
        return;
    setValue(m_limits.ClampValue(StepValue(Value(), 1, direction)));
    SendMessageW(m_edit, EM_SETSEL, 0, -1);
}

int Win32SpinEdit::partAt(int y) const { return y < m_fit.down.top ? 1 : -1; }

LRESULT CALLBACK Win32SpinEdit::editProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR data)
{
    auto* self = reinterpret_cast<Win32SpinEdit*>(data);
    switch (message) {
    case WM_GETDLGCODE:
        // A multi-line edit would keep Tab and Enter for itself: the form's keys go on working here.
        return DefSubclassProc(window, message, wParam, lParam) & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    case WM_CHAR: {
        const bool enabled = (GetWindowLongW(window, GWL_STYLE) & ES_READONLY) == 0;
        if (!IsAcceptedChar(static_cast<char32_t>(wParam), U'.', enabled)) {
            MessageBeep(0);
            return 0;
        }
        break;
    }
    case WM_KEYDOWN:
        if (wParam == VK_UP || wParam == VK_DOWN) {
            self->step(wParam == VK_UP ? 1 : -1);
            return 0;
        }
        break;
    case WM_KILLFOCUS:
        if (const auto text = self->m_limits.TextOnExit(textOf(window)))
            setTextOf(window, *text);
        break;
    case WM_SIZE:
        // Whoever resizes the edit, the arrows go to the inside's right end again.
        if (self->m_arrows) {
            const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
            self->placeArrows();
            return result;
        }
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK Win32SpinEdit::arrowsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<Win32SpinEdit*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self)
        return self->arrows(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Win32SpinEdit::arrows(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_arrows, &ps);
        const bool enabled = IsWindowEnabled(m_arrows);
        const auto draw = [&](const Rect& r, UINT kind, bool pressed) {
            RECT rc{r.left, r.top, r.left + r.width, r.top + r.height};
            DrawFrameControl(dc, &rc, DFC_SCROLL, kind | (pressed ? DFCS_PUSHED : 0) | (enabled ? 0 : DFCS_INACTIVE));
        };
        draw(m_fit.up, DFCS_SCROLLUP, m_held == 1 && m_pointerInside);
        draw(m_fit.down, DFCS_SCROLLDOWN, m_held == -1 && m_pointerInside);
        EndPaint(m_arrows, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetCapture(m_arrows);
        SetFocus(m_edit);
        m_held = partAt(static_cast<short>(HIWORD(lParam)));
        m_pointerInside = true;
        InvalidateRect(m_arrows, nullptr, FALSE);
        m_repeat.press();
        return 0;
    case WM_MOUSEMOVE:
        if (m_held != 0) {
            RECT rc;
            GetClientRect(m_arrows, &rc);
            const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            const bool inside = PtInRect(&rc, p) && partAt(p.y) == m_held;
            if (inside != m_pointerInside) {
                m_pointerInside = inside;
                InvalidateRect(m_arrows, nullptr, FALSE);
            }
        }
        return 0;
    case WM_LBUTTONUP:
        if (m_held != 0) {
            // The release over the pressed arrow is its click.
            if (m_pointerInside)
                step(m_held);
            m_held = 0;
            m_pointerInside = false;
            m_repeat.release();
            ReleaseCapture();
            InvalidateRect(m_arrows, nullptr, FALSE);
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (m_held != 0) {
            m_held = 0;
            m_repeat.release();
            InvalidateRect(m_arrows, nullptr, FALSE);
        }
        return 0;
    default:
        return DefWindowProcW(m_arrows, message, wParam, lParam);
    }
}

}  // namespace ovin
