#include "Win32LogViewWindow.h"

#include <algorithm>
#include <optional>

#include "platform/win32/Win32Text.h"
#include "shell/LogViewRules.h"

namespace ovin {

using win32::narrow;

namespace {

// The virtual keys the editor knows; any other key is left to WM_CHAR.
struct KeyRow {
    UINT virtualKey;
    logview::EditorKey key;
};
const KeyRow kKeys[] = {
    {VK_F3, logview::EditorKey::F3},
    {VK_LEFT, logview::EditorKey::Left},
    {VK_RIGHT, logview::EditorKey::Right},
    {VK_UP, logview::EditorKey::Up},
    {VK_DOWN, logview::EditorKey::Down},
    {VK_PRIOR, logview::EditorKey::PageUp},
    {VK_NEXT, logview::EditorKey::PageDown},
    {VK_HOME, logview::EditorKey::Home},
    {VK_END, logview::EditorKey::End},
    {VK_BACK, logview::EditorKey::Backspace},
    {VK_DELETE, logview::EditorKey::Delete},
    {VK_INSERT, logview::EditorKey::Insert},
    {VK_RETURN, logview::EditorKey::Return},
    {'A', logview::EditorKey::A},
    {'C', logview::EditorKey::C},
    {'X', logview::EditorKey::X},
    {'V', logview::EditorKey::V},
    {'F', logview::EditorKey::F},
};

std::optional<EditorCommand> commandOf(UINT virtualKey, bool ctrl, bool shift)
{
    for (const KeyRow& row : kKeys) {
        if (row.virtualKey == virtualKey)
            return logview::CommandOfKey(row.key, ctrl, shift);
    }
    return std::nullopt;
}

bool keyDown(int key) { return GetKeyState(key) < 0; }

}  // namespace

// ---- the caret -------------------------------------------------------------------

void Win32LogView::Window::placeCaret()
{
    if (GetFocus() != m_hwnd)
        return;
    const RECT area = textArea();
    const std::size_t line = m_doc.lineOf(m_doc.caret());
    const long long row = static_cast<long long>(line) - static_cast<long long>(m_firstLine);
    // A caret scrolled away stays just outside the window, where it is not drawn.
    const long long y = std::clamp<long long>(area.top + row * m_lineHeight, -2LL * m_lineHeight,
                                              static_cast<long long>(area.bottom) + m_lineHeight);
    SetCaretPos(textLeft() + xOfPos(m_doc.caret()), static_cast<int>(y));
}

void Win32LogView::Window::caretChanged()
{
    placeCaret();
    // Screen readers follow the system caret by themselves; the line it is on is the text's value.
    const std::size_t line = m_doc.lineOf(m_doc.caret());
    if (line != m_accessibleLine) {
        m_accessibleLine = line;
        NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, m_hwnd, OBJID_CLIENT, CHILDID_SELF);
    }
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

void Win32LogView::Window::setCaret(std::size_t pos, bool keepAnchor)
{
    m_doc.setCaret(pos, keepAnchor);
    revealCaret(false);
}

void Win32LogView::Window::revealCaret(bool)
{
    caretChanged();
    ensureCaretVisible();
}

// ---- editing ---------------------------------------------------------------------

void Win32LogView::Window::onKeyDown(UINT key)
{
    // Ctrl with Alt is AltGr, which types characters.
    const bool ctrl = keyDown(VK_CONTROL) && !keyDown(VK_MENU);
    const bool shift = keyDown(VK_SHIFT);
    if (const std::optional<EditorCommand> command = commandOf(key, ctrl, shift))
        m_editor.run(*command, shift);
}

void Win32LogView::Window::onChar(wchar_t c)
{
    // Control characters come with the keys that already did their work (Enter, Backspace, Ctrl+letters).
    if (c < L' ' && c != L'\t')
        return;
    if (c == 0x7F)
        return;
    if (c >= 0xD800 && c <= 0xDBFF) {
        m_highSurrogate = c;
        return;
    }
    std::wstring typed;
    if (c >= 0xDC00 && c <= 0xDFFF) {
        if (!m_highSurrogate)
            return;
        typed = {m_highSurrogate, c};
    } else {
        typed = {c};
    }
    m_highSurrogate = 0;
    m_editor.insert(narrow(typed));
}

// ---- the mouse -------------------------------------------------------------------

void Win32LogView::Window::onButtonDown(int x, int y, WPARAM keys)
{
    SetFocus(m_hwnd);
    SetCapture(m_hwnd);
    m_editor.forgetColumn();
    m_lastMouse = {x, y};
    m_mouse.press(positionAt(x, y), (keys & MK_SHIFT) != 0);
    revealCaret(false);
}

void Win32LogView::Window::onDoubleClick(int x, int y)
{
    SetCapture(m_hwnd);
    m_mouse.doubleClick(positionAt(x, y));
    caretChanged();
}

void Win32LogView::Window::onMouseMove(int x, int y)
{
    if (!m_mouse.selecting())
        return;
    m_lastMouse = {x, y};
    setCaret(*m_mouse.dragTarget(positionAt(x, y)), true);
    // Dragged out above or below the text, the view goes on scrolling towards the mouse.
    const RECT area = textArea();
    if (y < area.top || y >= area.bottom)
        SetTimer(m_hwnd, kAutoScrollTimer, kAutoScrollMs, nullptr);
    else
        KillTimer(m_hwnd, kAutoScrollTimer);
}

void Win32LogView::Window::onAutoScroll()
{
    const RECT area = textArea();
    if (!m_mouse.selecting() || (m_lastMouse.y >= area.top && m_lastMouse.y < area.bottom)) {
        KillTimer(m_hwnd, kAutoScrollTimer);
        return;
    }
    scrollTo(static_cast<long long>(m_firstLine) + (m_lastMouse.y < area.top ? -1 : 1));
    onMouseMove(m_lastMouse.x, m_lastMouse.y);
}

}  // namespace ovin
