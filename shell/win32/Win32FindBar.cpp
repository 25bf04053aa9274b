#include "Win32FindBar.h"

#include <commctrl.h>

#include <algorithm>

#include "controls/win32/WindowClass.h"
#include "Dpi.h"
#include "SelectedObject.h"
#include "platform/win32/Win32Text.h"
#include "WindowDC.h"
#include "controls/win32/WindowText.h"
#include "settings/Texts.h"
#include "shell/MainWindow.h"

namespace ovin::win32 {

namespace {

constexpr wchar_t kBarClass[] = L"OvinFindBar";
constexpr UINT_PTR kEditSubclass = 1;

// After the ids of the edit (100) and of the status line (104) that the class names.
enum ControlId { kPreviousId = 101, kNextId, kCloseId };

constexpr int kGapPx = 4;
constexpr int kPaddingPx = 2;

}  // namespace

Win32FindBar::Win32FindBar(HWND parent, Handlers handlers) : m_handlers(std::move(handlers))
{
    RegisterWindowClass({.name = kBarClass, .procedure = &barProc, .buttonFace = true});
    m_dpi = dpiOf(parent);
    createFont();
    HINSTANCE instance = GetModuleHandleW(nullptr);
    m_bar.reset(CreateWindowExW(WS_EX_CONTROLPARENT, kBarClass, L"", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                                nullptr, instance, this));
    auto child = [&](const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle, int id) {
        HWND w = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, m_bar.get(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
        return w;
    };
    m_label = child(L"STATIC", widen(texts::kFindLabel).c_str(), SS_LEFT | SS_CENTERIMAGE, 0, 0);
    m_edit = child(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, kNeedleId);
    // The buttons take no focus: the text keeps it while the user looks through the matches.
    m_previous = child(L"BUTTON", widen(texts::kFindPrevious).c_str(), BS_PUSHBUTTON, 0, kPreviousId);
    m_next = child(L"BUTTON", widen(texts::kFindNext).c_str(), BS_PUSHBUTTON, 0, kNextId);
    m_status = child(L"STATIC", L"", SS_LEFT | SS_CENTERIMAGE, 0, kStatusId);
    m_close = child(L"BUTTON", widen(texts::kFindClose).c_str(), BS_PUSHBUTTON, 0, kCloseId);
    SetWindowSubclass(m_edit, &editProc, kEditSubclass, reinterpret_cast<DWORD_PTR>(this));
}

void Win32FindBar::createFont()
{
    const MainWindowLook& look = kMainWindowLook;
    m_font.reset(CreateFontW(fontHeightFor(look.fontPt, m_dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, widen(look.fontName).c_str()));
}

void Win32FindBar::setDpi(int dpi)
{
    m_dpi = dpi;
    FontHandle old = std::move(m_font);
    createFont();
    for (const HWND child : {m_label, m_edit, m_previous, m_next, m_status, m_close})
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
}

Win32FindBar::~Win32FindBar()
{
    if (m_edit && IsWindow(m_edit))
        RemoveWindowSubclass(m_edit, &editProc, kEditSubclass);
    // The parent may be gone already, and with it the bar.
    if (!IsWindow(m_bar.get()))
        m_bar.release();
}

// Its own flag, not IsWindowVisible: the bar is open in a window that is itself hidden.
bool Win32FindBar::isOpen() const { return (GetWindowLongW(m_bar.get(), GWL_STYLE) & WS_VISIBLE) != 0; }

int Win32FindBar::height() const
{
    TEXTMETRICW tm{};
    const WindowDC dc(m_bar.get());
    const SelectedObject font(dc.get(), m_font.get());
    GetTextMetricsW(dc.get(), &tm);
    // The edit's own frame and margins around the text, and a little room above and below it.
    return tm.tmHeight + scaled(8, m_dpi) + 2 * scaled(kPaddingPx, m_dpi);
}

void Win32FindBar::show() { ShowWindow(m_bar.get(), SW_SHOWNA); }

void Win32FindBar::close()
{
    if (!isOpen())
        return;
    ShowWindow(m_bar.get(), SW_HIDE);
    if (m_handlers.closed)
        m_handlers.closed();
}

void Win32FindBar::place(const RECT& area)
{
    MoveWindow(m_bar.get(), area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
    layout();
}

int Win32FindBar::textWidth(const wchar_t* text) const
{
    const WindowDC dc(m_bar.get());
    const SelectedObject font(dc.get(), m_font.get());
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), text, lstrlenW(text), &size);
    return size.cx;
}

void Win32FindBar::layout()
{
    RECT r{};
    GetClientRect(m_bar.get(), &r);
    const int pad = scaled(kPaddingPx, m_dpi);
    const int gap = scaled(kGapPx, m_dpi);
    const int h = r.bottom - 2 * pad;
    const int buttonRoom = scaled(16, m_dpi);
    const int labelW = textWidth(widen(texts::kFindLabel).c_str());
    const int previousW = textWidth(widen(texts::kFindPrevious).c_str()) + buttonRoom;
    const int nextW = textWidth(widen(texts::kFindNext).c_str()) + buttonRoom;
    const int statusW = textWidth(widen(texts::kNotFound).c_str()) + gap;
    const int closeW = h;
    int x = scaled(kGapPx, m_dpi);
    MoveWindow(m_label, x, pad, labelW, h, TRUE);
    x += labelW + gap;
    const int fixed = previousW + nextW + statusW + closeW + 4 * gap + gap;
    const int editW = std::max(scaled(40, m_dpi), static_cast<int>(r.right) - x - fixed);
    MoveWindow(m_edit, x, pad, editW, h, TRUE);
    x += editW + gap;
    MoveWindow(m_previous, x, pad, previousW, h, TRUE);
    x += previousW + gap;
    MoveWindow(m_next, x, pad, nextW, h, TRUE);
    x += nextW + gap;
    MoveWindow(m_status, x, pad, statusW, h, TRUE);
    x += statusW + gap;
    MoveWindow(m_close, x, pad, closeW, h, TRUE);
}

std::string Win32FindBar::needle() const { return narrow(win32::windowText(m_edit)); }

void Win32FindBar::setNeedle(std::string_view text) { SetWindowTextW(m_edit, widen(text).c_str()); }

void Win32FindBar::focusNeedle()
{
    SetFocus(m_edit);
    SendMessageW(m_edit, EM_SETSEL, 0, -1);
}

void Win32FindBar::setFound(bool found) { SetWindowTextW(m_status, found ? L"" : widen(texts::kNotFound).c_str()); }

LRESULT CALLBACK Win32FindBar::barProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<Win32FindBar*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && self->m_bar.get() == window)
        return self->handle(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Win32FindBar::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kPreviousId:
        case kNextId:
            if (HIWORD(wParam) == BN_CLICKED && m_handlers.find)
                m_handlers.find(needle(), LOWORD(wParam) == kPreviousId);
            return 0;
        case kCloseId:
            if (HIWORD(wParam) == BN_CLICKED)
                close();
            return 0;
        default:
            if (reinterpret_cast<HWND>(lParam) == m_edit && HIWORD(wParam) == EN_CHANGE) {
                setFound(true);
                if (m_handlers.needleChanged)
                    m_handlers.needleChanged(needle());
            }
            return 0;
        }
    case WM_SIZE:
        layout();
        return 0;
    default:
        return DefWindowProcW(m_bar.get(), message, wParam, lParam);
    }
}

LRESULT CALLBACK Win32FindBar::editProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR selfPtr)
{
    auto* self = reinterpret_cast<Win32FindBar*>(selfPtr);
    switch (message) {
    case WM_GETDLGCODE:
        // Enter and Esc belong to the bar, not to a dialog manager around it.
        return DefSubclassProc(window, message, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_F3) {
            if (self->m_handlers.find)
                self->m_handlers.find(self->needle(), GetKeyState(VK_SHIFT) < 0);
            return 0;
        }
        if (wParam == VK_ESCAPE) {
            self->close();
            return 0;
        }
        break;
    case WM_CHAR:
        // The characters of Enter and Esc would only beep.
        if (wParam == L'\r' || wParam == L'\n' || wParam == 0x1B)
            return 0;
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace ovin::win32
