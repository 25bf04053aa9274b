#include "Win32LogViewWindow.h"

#include <algorithm>

#include "controls/win32/WindowClass.h"
#include "controls/win32/ColorRef.h"
#include "platform/win32/Win32Text.h"
#include "shell/LogViewRules.h"
#include "shell/MainWindow.h"

namespace ovin {

using win32::widen;

// ---- creation ----------------------------------------------------------------

Win32LogView::Window::Window(HWND parent, EventLog& log, int controlId) : m_doc(log, *this)
{
    win32::RegisterWindowClass(
        {.name = kClassName, .procedure = &Window::windowProc, .style = CS_DBLCLKS, .cursor = IDC_IBEAM});
    m_background.reset(CreateSolidBrush(win32::colorRef(kMainWindowLook.logBackground)));
    CreateWindowExW(WS_EX_CLIENTEDGE, kClassName, L"",
                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), GetModuleHandleW(nullptr), this);
    m_dpi = win32::dpiOf(m_hwnd);
    createFont();
    m_findBar = std::make_unique<win32::Win32FindBar>(
        m_hwnd, win32::Win32FindBar::Handlers{[this](const std::string& needle, bool backward) {
                                                  m_findBar->setFound(m_editor.find(needle, backward));
                                              },
                                              [this](const std::string& needle) {
                                                  m_highlight = needle;
                                                  InvalidateRect(m_hwnd, nullptr, FALSE);
                                              },
                                              [this] { findBarClosed(); }});
    documentReplaced();
}

Win32LogView::Window::~Window()
{
    m_findBar.reset();
    if (m_accessible) {
        m_accessible->disconnect();
        m_accessible->Release();
    }
    if (m_hwnd) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
}

void Win32LogView::Window::setDpi(int dpi)
{
    if (dpi == m_dpi)
        return;
    m_dpi = dpi;
    createFont();
    m_findBar->setDpi(dpi);
    // The widest line is measured again in the new font.
    m_widthPx = 0;
    placeFindBar();
    updateScrollBars();
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

void Win32LogView::Window::openFindBar()
{
    const bool wasOpen = m_findBar->isOpen();
    m_findBar->show();
    placeFindBar();
    if (const std::optional<std::string> needle = logview::NeedleFromSelection(m_doc))
        m_findBar->setNeedle(*needle);
    m_findBar->focusNeedle();
    m_highlight = m_findBar->needle();
    if (!wasOpen)
        updateScrollBars();
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

// ---- the document's notices ----------------------------------------------------

void Win32LogView::Window::documentReplaced()
{
    // The parent may have taken the window with it while the log goes on.
    if (!m_hwnd)
        return;
    // Opened on a month of log, the view shows its end.
    m_follow = true;
    m_widthPx = 0;
    updateScrollBars();
    caretChanged();
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

void Win32LogView::Window::documentAppended(bool caretMoved)
{
    if (!m_hwnd)
        return;
    updateScrollBars();
    if (caretMoved)
        caretChanged();
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

void Win32LogView::Window::documentEdited()
{
    if (!m_hwnd)
        return;
    updateScrollBars();
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

// ---- find --------------------------------------------------------------------------

void Win32LogView::Window::findBarClosed()
{
    m_highlight.clear();
    updateScrollBars();
    InvalidateRect(m_hwnd, nullptr, FALSE);
    SetFocus(m_hwnd);
}

void Win32LogView::Window::placeFindBar()
{
    if (!m_findBar || !m_findBar->isOpen())
        return;
    RECT client{};
    GetClientRect(m_hwnd, &client);
    const RECT area{client.left, std::max(client.top, client.bottom - m_findBar->height()), client.right,
                    client.bottom};
    m_findBar->place(area);
}

// ---- the window procedure --------------------------------------------------------------

LRESULT CALLBACK Win32LogView::Window::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_hwnd = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The parent went first and took the view with it.
        self->m_hwnd = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handle(message, wParam, lParam);
}

LRESULT Win32LogView::Window::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        placeFindBar();
        updateScrollBars();
        placeCaret();
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return 0;
    case WM_VSCROLL:
        onVScroll(LOWORD(wParam));
        return 0;
    case WM_HSCROLL:
        onHScroll(LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        onWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case WM_SETFOCUS:
        CreateCaret(m_hwnd, nullptr, std::max(1, win32::scaled(1, m_dpi)), m_lineHeight);
        placeCaret();
        ShowCaret(m_hwnd);
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return 0;
    case WM_KILLFOCUS:
        DestroyCaret();
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return 0;
    case WM_GETDLGCODE: {
        // The editor keeps every key but Tab, which moves on to the next control as in any text box.
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        LRESULT code = DLGC_WANTCHARS | DLGC_WANTARROWS;
        if (msg && msg->message == WM_KEYDOWN && msg->wParam != VK_TAB)
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN:
        onKeyDown(static_cast<UINT>(wParam));
        return 0;
    case WM_CHAR:
        onChar(static_cast<wchar_t>(wParam));
        return 0;
    case WM_LBUTTONDOWN:
        onButtonDown(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)), wParam);
        return 0;
    case WM_LBUTTONDBLCLK:
        onDoubleClick(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_MOUSEMOVE:
        onMouseMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_LBUTTONUP:
        m_mouse.release();
        KillTimer(m_hwnd, kAutoScrollTimer);
        if (GetCapture() == m_hwnd)
            ReleaseCapture();
        return 0;
    case WM_CAPTURECHANGED:
        m_mouse.release();
        KillTimer(m_hwnd, kAutoScrollTimer);
        return 0;
    case WM_TIMER:
        if (wParam == kAutoScrollTimer)
            onAutoScroll();
        return 0;
    case WM_GETOBJECT:
        if (static_cast<LONG>(lParam) == static_cast<LONG>(OBJID_CLIENT)) {
            if (!m_accessible)
                m_accessible = win32::LogViewAccessible::create(
                    m_hwnd, [this] { return widen(m_doc.lineBytes(m_doc.lineOf(m_doc.caret()))); });
            if (m_accessible)
                return LresultFromObject(win32::kIidAccessible, wParam, m_accessible);
        }
        break;
    case kDpiChangedAfterParent:
        setDpi(win32::dpiOf(m_hwnd));
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

// ---- the public face -------------------------------------------------------------------------

Win32LogView::Win32LogView(HWND parent, EventLog& log, int controlId)
    : m_window(std::make_unique<Window>(parent, log, controlId))
{
}

Win32LogView::~Win32LogView() = default;

HWND Win32LogView::hwnd() const { return m_window->hwnd(); }

void Win32LogView::openFindBar() { m_window->openFindBar(); }

void Win32LogView::setDpi(int dpi) { m_window->setDpi(dpi); }

const LogDocument& Win32LogView::document() const { return m_window->document(); }

}  // namespace ovin
