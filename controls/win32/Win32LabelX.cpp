#include "controls/win32/Win32LabelX.h"

#include "controls/win32/WindowText.h"

namespace ovin {

namespace {

constexpr int kNewWidthPx = 65;
constexpr int kNewHeightPx = 17;

WNDPROC g_staticProc = nullptr;

SIZE captionSize(HWND window)
{
    std::wstring caption = win32::windowText(window);
    // An empty caption (or a lone accelerator mark) still has a line's height, as the label had at design time.
    if (caption.empty() || caption == L"&")
        caption += L' ';
    const HDC dc = GetDC(window);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    const HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    RECT r{0, 0, 0, 0};
    // Measured as drawn: the accelerator marks take no room, tabs are expanded, lines break only where the
    // caption breaks them.
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, DT_CALCRECT | DT_LEFT | DT_EXPANDTABS);
    if (old)
        SelectObject(dc, old);
    ReleaseDC(window, dc);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void fitToCaption(HWND window)
{
    const SIZE size = captionSize(window);
    SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void registerClass(WNDPROC proc)
{
    if (g_staticProc)
        return;
    // A superclass of the system's static text: its painting (accelerator underline included) is the standard
    // label's; the sizing, the mouse and the dialog keys are this class's.
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    GetClassInfoExW(nullptr, L"STATIC", &wc);
    g_staticProc = wc.lpfnWndProc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = Win32LabelX::kClassName;
    wc.style &= ~CS_GLOBALCLASS;
    RegisterClassExW(&wc);
}

}  // namespace

Win32LabelX::Win32LabelX(HWND parent, int controlId, POINT topLeft, const std::wstring& caption, HFONT font)
{
    registerClass(&Win32LabelX::labelProc);
    // Clipping its siblings: a label painted later must not cover a control that stands above it.
    m_window =
        CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_LEFTNOWORDWRAP, topLeft.x,
                        topLeft.y, kNewWidthPx, kNewHeightPx, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), GetModuleHandleW(nullptr), nullptr);
    if (!m_window)
        return;
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (caption.empty()) {
        // The font is part of making the label, not a change of it: a new label keeps its size until then.
        if (font)
            CallWindowProcW(g_staticProc, m_window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return;
    }
    if (font)
        SendMessageW(m_window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    setCaption(caption);
}

Win32LabelX::~Win32LabelX()
{
    if (m_window) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
    }
}

SIZE Win32LabelX::size() const { return m_window ? captionSize(m_window) : SIZE{0, 0}; }

void Win32LabelX::setCaption(const std::wstring& caption)
{
    if (m_window)
        SetWindowTextW(m_window, caption.c_str());
}

void Win32LabelX::moveTo(POINT topLeft)
{
    if (m_window)
        SetWindowPos(m_window, nullptr, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK Win32LabelX::labelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETTEXT:
    case WM_SETFONT: {
        const LRESULT result = CallWindowProcW(g_staticProc, window, message, wParam, lParam);
        fitToCaption(window);
        return result;
    }
    case WM_NCHITTEST:
        // A static text lets the mouse through to its container; a label is a control of its own there.
        return HTCLIENT;
    case WM_GETDLGCODE:
        // Not offered as a static text: the dialog keys would make its underlined letter a jump to the next
        // control, and the label has no such target.
        return 0;
    case WM_NCDESTROY:
        if (auto* self = reinterpret_cast<Win32LabelX*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            self->m_window = nullptr;
        break;
    default:
        break;
    }
    return CallWindowProcW(g_staticProc, window, message, wParam, lParam);
}

}  // namespace ovin
