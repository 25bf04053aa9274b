#include "Win32LogView.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Clipboard.h"
#include "Dpi.h"
#include "controls/win32/ColorRef.h"
#include "LogViewAccessible.h"
#include "PaintDC.h"
#include "SelectedObject.h"
#include "UniqueHandle.h"
#include "platform/win32/Win32Text.h"
#include "Win32FindBar.h"
#include "WindowDC.h"
#include "settings/EventLog.h"
#include "shell/LogDocument.h"
#include "shell/LogEditor.h"
#include "shell/MainWindow.h"

namespace ovin {

namespace {

using win32::narrow;
using win32::widen;

constexpr wchar_t kClassName[] = L"OvinLogView";
constexpr UINT_PTR kAutoScrollTimer = 1;
constexpr UINT kAutoScrollMs = 50;
constexpr int kMarginPx = 2;
const COLORREF kFoundColour = RGB(255, 255, 0);
// Sent from Windows 10 1703 on when the window's resolution changed (a monitor of another scale); declared here
// because the program is built against the Windows 7 declarations.
constexpr UINT kDpiChangedAfterParent = 0x02E3;

// The editor's keys: each virtual key gives its command, with Shift or Ctrl where that changes it; no command
// means the key is left to WM_CHAR. Shift with a caret move extends the selection.
struct KeyRow {
    UINT key;
    std::optional<EditorCommand> plain;
    std::optional<EditorCommand> withCtrl;
    std::optional<EditorCommand> withShift;  // before Ctrl
};
const KeyRow kKeys[] = {
    {VK_F3, EditorCommand::FindNext, EditorCommand::FindNext, EditorCommand::FindPrevious},
    {VK_LEFT, EditorCommand::MoveLeft, EditorCommand::WordLeft, std::nullopt},
    {VK_RIGHT, EditorCommand::MoveRight, EditorCommand::WordRight, std::nullopt},
    {VK_UP, EditorCommand::LineUp, EditorCommand::LineUp, std::nullopt},
    {VK_DOWN, EditorCommand::LineDown, EditorCommand::LineDown, std::nullopt},
    {VK_PRIOR, EditorCommand::PageUp, EditorCommand::PageUp, std::nullopt},
    {VK_NEXT, EditorCommand::PageDown, EditorCommand::PageDown, std::nullopt},
    {VK_HOME, EditorCommand::LineStart, EditorCommand::DocumentStart, std::nullopt},
    {VK_END, EditorCommand::LineEnd, EditorCommand::DocumentEnd, std::nullopt},
    {VK_BACK, EditorCommand::DeleteBackward, EditorCommand::DeleteBackward, std::nullopt},
    {VK_DELETE, EditorCommand::DeleteForward, EditorCommand::DeleteForward, EditorCommand::Cut},
    {VK_INSERT, EditorCommand::Nothing, EditorCommand::Copy, EditorCommand::Paste},
    {VK_RETURN, EditorCommand::InsertLineBreak, EditorCommand::InsertLineBreak, std::nullopt},
    {'A', std::nullopt, EditorCommand::SelectAll, std::nullopt},
    {'C', std::nullopt, EditorCommand::Copy, std::nullopt},
    {'X', std::nullopt, EditorCommand::Cut, std::nullopt},
    {'V', std::nullopt, EditorCommand::Paste, std::nullopt},
    {'F', std::nullopt, EditorCommand::Find, std::nullopt},
};

std::optional<EditorCommand> commandOf(UINT key, bool ctrl, bool shift)
{
    for (const KeyRow& row : kKeys) {
        if (row.key != key)
            continue;
        if (shift && row.withShift)
            return row.withShift;
        return ctrl ? row.withCtrl : row.plain;
    }
    return std::nullopt;
}

bool keyDown(int key) { return GetKeyState(key) < 0; }

// Every match of `needle` in `line`, as UTF-16 ranges of the decoded line.
template <typename F>
void forEachMatch(std::string_view line, std::string_view needle, F&& f)
{
    if (needle.empty())
        return;
    for (std::size_t at = line.find(needle); at != std::string_view::npos; at = line.find(needle, at + needle.size()))
        f(Utf16Index(line, at), Utf16Index(line, at + needle.size()));
}

}  // namespace

/// The window and everything it paints; the public class only owns it.
class Win32LogView::Window final : private LogDocumentView, private LogEditorFrontEnd {
public:
    Window(HWND parent, EventLog& log, int controlId);
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return m_hwnd; }
    const LogDocument& document() const { return m_doc; }
    void openFindBar() override;
    void setDpi(int dpi);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    // LogDocumentView
    void documentReplaced() override;
    void documentAppended(bool caretMoved) override;
    void documentEdited() override;

    // LogEditorFrontEnd
    int xOf(std::size_t pos) const override { return xOfPos(pos); }
    std::size_t positionAtX(std::size_t line, int x) const override { return posAtX(line, x); }
    std::size_t pageLines() const override { return visibleLines(); }
    void scrollLines(long long lines) override { scrollTo(static_cast<long long>(m_firstLine) + lines); }
    bool setClipboardText(std::string_view text) override { return win32::setClipboardText(m_hwnd, text); }
    std::string clipboardText() override { return win32::clipboardText(m_hwnd).value_or(std::string()); }
    std::string findNeedle() const override { return m_findBar->needle(); }
    void showFound(bool found) override { m_findBar->setFound(found); }
    void revealCaret(bool extended) override;
    void allSelected() override { caretChanged(); }

    // geometry
    void createFont();
    RECT textArea() const;
    std::size_t visibleLines() const;
    std::size_t lastFirstLine() const;
    int textLeft() const { return win32::scaled(kMarginPx, m_dpi) - m_xOffset; }
    /// The x of every UTF-16 unit's end in the decoded line (the prefix widths), in one call.
    std::vector<int> unitEnds(const std::wstring& wide) const;
    int xOfPos(std::size_t pos) const;
    std::size_t posAtX(std::size_t line, int x) const;
    std::size_t positionAt(int x, int y) const;
    void updateScrollBars();
    void setScrollBar(int bar, int max, UINT page, int pos);
    void scrollTo(long long firstLine);
    void scrollHorizontallyTo(int x);
    void onVScroll(int request);
    void onHScroll(int request);
    void onWheel(int delta);

    // painting
    void paint();
    void paintLine(HDC dc, std::size_t line, int y, int& widest) const;

    // the caret
    void placeCaret();
    void caretChanged();
    void ensureCaretVisible();
    void setCaret(std::size_t pos, bool keepAnchor);

    // editing
    void onKeyDown(UINT key);
    void onChar(wchar_t c);

    // the mouse
    void onButtonDown(int x, int y, WPARAM keys);
    void onDoubleClick(int x, int y);
    void onMouseMove(int x, int y);
    void onAutoScroll();

    // find
    void findBarClosed();
    void placeFindBar();

    LogDocument m_doc;
    LogEditor m_editor{m_doc, *this};
    HWND m_hwnd = nullptr;
    int m_dpi = win32::kDefaultDpi;
    win32::FontHandle m_font;
    win32::BrushHandle m_background;
    int m_lineHeight = 13;
    int m_averageCharWidth = 5;
    std::size_t m_firstLine = 0;
    int m_xOffset = 0;
    int m_widthPx = 0;
    int m_wheelRest = 0;
    bool m_follow = true;
    bool m_mouseSelecting = false;
    bool m_selectingWords = false;
    POINT m_lastMouse{};
    wchar_t m_highSurrogate = 0;
    std::size_t m_accessibleLine = SIZE_MAX;
    std::string m_highlight;
    struct BarState {
        int max = -1;
        UINT page = 0;
        int pos = -1;
    };
    BarState m_vertical;
    BarState m_horizontal;
    std::unique_ptr<win32::Win32FindBar> m_findBar;
    win32::LogViewAccessible* m_accessible = nullptr;
};

// ---- creation ----------------------------------------------------------------

Win32LogView::Window::Window(HWND parent, EventLog& log, int controlId) : m_doc(log, *this)
{
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &Window::windowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
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

void Win32LogView::Window::createFont()
{
    const MainWindowLook& look = kMainWindowLook;
    m_font.reset(CreateFontW(win32::fontHeightFor(look.logFontPt, m_dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, widen(look.logFontName).c_str()));
    // The line height and the average width are asked for on every line's way; the font decides them once.
    const win32::WindowDC dc(m_hwnd);
    const win32::SelectedObject font(dc.get(), m_font.get());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc.get(), &tm);
    m_lineHeight = std::max(1, static_cast<int>(tm.tmHeight + tm.tmExternalLeading));
    m_averageCharWidth = std::max(1, static_cast<int>(tm.tmAveCharWidth));
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
    if (m_doc.hasSelection() && m_doc.lineOf(m_doc.selectionStart()) == m_doc.lineOf(m_doc.selectionEnd()))
        m_findBar->setNeedle(m_doc.selectedText());
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

// ---- geometry ----------------------------------------------------------------

RECT Win32LogView::Window::textArea() const
{
    RECT r{};
    GetClientRect(m_hwnd, &r);
    if (m_findBar && m_findBar->isOpen())
        r.bottom = std::max(r.top, r.bottom - m_findBar->height());
    return r;
}

std::size_t Win32LogView::Window::visibleLines() const
{
    const RECT r = textArea();
    return static_cast<std::size_t>(std::max(1, static_cast<int>(r.bottom - r.top) / m_lineHeight));
}

std::size_t Win32LogView::Window::lastFirstLine() const
{
    const std::size_t page = visibleLines();
    return m_doc.lineCount() > page ? m_doc.lineCount() - page : 0;
}

std::vector<int> Win32LogView::Window::unitEnds(const std::wstring& wide) const
{
    std::vector<int> ends(wide.size());
    if (wide.empty())
        return ends;
    const win32::WindowDC dc(m_hwnd);
    const win32::SelectedObject font(dc.get(), m_font.get());
    SIZE size{};
    int fit = 0;
    GetTextExtentExPointW(dc.get(), wide.data(), static_cast<int>(wide.size()), 0, &fit, ends.data(), &size);
    return ends;
}

int Win32LogView::Window::xOfPos(std::size_t pos) const
{
    const std::size_t line = m_doc.lineOf(pos);
    const std::string_view bytes = m_doc.lineBytes(line);
    const std::wstring before = widen(bytes.substr(0, pos - m_doc.lineStart(line)));
    if (before.empty())
        return 0;
    const win32::WindowDC dc(m_hwnd);
    const win32::SelectedObject font(dc.get(), m_font.get());
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), before.data(), static_cast<int>(before.size()), &size);
    return size.cx;
}

std::size_t Win32LogView::Window::posAtX(std::size_t line, int x) const
{
    const std::string_view bytes = m_doc.lineBytes(line);
    const std::wstring wide = widen(bytes);
    const std::vector<int> ends = unitEnds(wide);
    // The caret goes before the character whose middle is right of the point.
    int index = 0;
    int left = 0;
    while (index < static_cast<int>(ends.size())) {
        const int right = ends[static_cast<std::size_t>(index)];
        if (x < (left + right) / 2)
            break;
        left = right;
        ++index;
    }
    return m_doc.lineStart(line) + Utf8Offset(bytes, index);
}

std::size_t Win32LogView::Window::positionAt(int x, int y) const
{
    const RECT r = textArea();
    const long long row = y < r.top ? -1 : (y - r.top) / m_lineHeight;
    const long long wanted = static_cast<long long>(m_firstLine) + row;
    const auto line =
        static_cast<std::size_t>(std::clamp<long long>(wanted, 0, static_cast<long long>(m_doc.lineCount()) - 1));
    return posAtX(line, x - textLeft());
}

void Win32LogView::Window::updateScrollBars()
{
    if (!m_hwnd)
        return;
    const std::size_t last = lastFirstLine();
    if (m_follow || m_firstLine > last)
        m_firstLine = last;
    m_follow = m_firstLine >= last;

    setScrollBar(SB_VERT, static_cast<int>(std::min<std::size_t>(m_doc.lineCount(), INT_MAX) - 1),
                 static_cast<UINT>(visibleLines()), static_cast<int>(std::min<std::size_t>(m_firstLine, INT_MAX)));

    // The widest line is known in bytes only; the widths seen while painting correct the estimate upwards.
    const RECT r = textArea();
    const int estimate = static_cast<int>(
        std::min<std::size_t>(m_doc.widestLineBytes() * static_cast<std::size_t>(m_averageCharWidth), INT_MAX / 2));
    const int width = std::max(estimate, m_widthPx) + 2 * win32::scaled(kMarginPx, m_dpi);
    const int page = std::max(1, static_cast<int>(r.right - r.left));
    m_xOffset = std::clamp(m_xOffset, 0, std::max(0, width - page));
    setScrollBar(SB_HORZ, width - 1, static_cast<UINT>(page), m_xOffset);
}

void Win32LogView::Window::setScrollBar(int bar, int max, UINT page, int pos)
{
    // Setting a scroll bar costs milliseconds (it is redrawn at once), and a line logged every second would pay
    // it twice for a bar that did not change.
    BarState& last = bar == SB_VERT ? m_vertical : m_horizontal;
    if (last.max == max && last.page == page && last.pos == pos)
        return;
    last = {max, page, pos};
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    // Both bars always show: one with nothing to scroll is disabled rather than hidden.
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | (max < static_cast<int>(page) ? SIF_DISABLENOSCROLL : 0);
    si.nMin = 0;
    si.nMax = max;
    si.nPage = page;
    si.nPos = pos;
    SetScrollInfo(m_hwnd, bar, &si, TRUE);
}

void Win32LogView::Window::scrollTo(long long firstLine)
{
    const auto last = static_cast<long long>(lastFirstLine());
    m_firstLine = static_cast<std::size_t>(std::clamp<long long>(firstLine, 0, last));
    // The view follows the end of the log only while the user keeps it there.
    m_follow = m_firstLine >= static_cast<std::size_t>(last);
    updateScrollBars();
    placeCaret();
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

void Win32LogView::Window::scrollHorizontallyTo(int x)
{
    m_xOffset = std::max(0, x);
    updateScrollBars();
    placeCaret();
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

void Win32LogView::Window::onVScroll(int request)
{
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(m_hwnd, SB_VERT, &si);
    const auto first = static_cast<long long>(m_firstLine);
    const auto page = static_cast<long long>(visibleLines());
    switch (request) {
    case SB_LINEUP:
        scrollTo(first - 1);
        break;
    case SB_LINEDOWN:
        scrollTo(first + 1);
        break;
    case SB_PAGEUP:
        scrollTo(first - page);
        break;
    case SB_PAGEDOWN:
        scrollTo(first + page);
        break;
    case SB_TOP:
        scrollTo(0);
        break;
    case SB_BOTTOM:
        scrollTo(LLONG_MAX / 2);
        break;
    // The message carries 16 bits of the thumb's place; a month of log needs the 32 bits of the scroll info.
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        scrollTo(si.nTrackPos);
        break;
    default:
        break;
    }
}

void Win32LogView::Window::onHScroll(int request)
{
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(m_hwnd, SB_HORZ, &si);
    const int step = m_averageCharWidth * 2;
    switch (request) {
    case SB_LINELEFT:
        scrollHorizontallyTo(m_xOffset - step);
        break;
    case SB_LINERIGHT:
        scrollHorizontallyTo(m_xOffset + step);
        break;
    case SB_PAGELEFT:
        scrollHorizontallyTo(m_xOffset - static_cast<int>(si.nPage));
        break;
    case SB_PAGERIGHT:
        scrollHorizontallyTo(m_xOffset + static_cast<int>(si.nPage));
        break;
    case SB_LEFT:
        scrollHorizontallyTo(0);
        break;
    case SB_RIGHT:
        scrollHorizontallyTo(si.nMax);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        scrollHorizontallyTo(si.nTrackPos);
        break;
    default:
        break;
    }
}

void Win32LogView::Window::onWheel(int delta)
{
    UINT perNotch = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
    m_wheelRest += delta;
    const int notches = m_wheelRest / WHEEL_DELTA;
    m_wheelRest -= notches * WHEEL_DELTA;
    if (notches == 0)
        return;
    const long long lines =
        perNotch == WHEEL_PAGESCROLL ? static_cast<long long>(visibleLines()) : static_cast<long long>(perNotch);
    scrollTo(static_cast<long long>(m_firstLine) - notches * lines);
}

// ---- painting ------------------------------------------------------------------

void Win32LogView::Window::paint()
{
    const win32::PaintDC paintDc(m_hwnd);
    RECT client{};
    GetClientRect(m_hwnd, &client);
    const int w = std::max(1, static_cast<int>(client.right));
    const int h = std::max(1, static_cast<int>(client.bottom));
    // Drawn off screen and copied at once, so a line logged every second does not flicker.
    win32::MemoryDC memory(CreateCompatibleDC(paintDc.get()));
    win32::BitmapHandle bitmap(CreateCompatibleBitmap(paintDc.get(), w, h));
    {
        const win32::SelectedObject selectedBitmap(memory.get(), bitmap.get());
        const win32::SelectedObject font(memory.get(), m_font.get());
        FillRect(memory.get(), &client, m_background.get());
        SetBkMode(memory.get(), TRANSPARENT);
        const RECT area = textArea();
        const std::size_t last = std::min(m_doc.lineCount(), m_firstLine + visibleLines() + 1);
        int widest = m_widthPx;
        for (std::size_t line = m_firstLine; line < last; ++line)
            paintLine(memory.get(), line,
                      static_cast<int>(area.top) + static_cast<int>(line - m_firstLine) * m_lineHeight, widest);
        BitBlt(paintDc.get(), 0, 0, w, static_cast<int>(area.bottom), memory.get(), 0, 0, SRCCOPY);
        if (widest > m_widthPx) {
            m_widthPx = widest;
            updateScrollBars();
        }
    }
}

void Win32LogView::Window::paintLine(HDC dc, std::size_t line, int y, int& widest) const
{
    const std::string_view bytes = m_doc.lineBytes(line);
    // Only the visible lines are ever decoded, one at a time.
    const std::wstring wide = widen(bytes);
    const int n = static_cast<int>(wide.size());
    std::vector<int> ends(wide.size());
    SIZE size{};
    if (n > 0) {
        int fit = 0;
        GetTextExtentExPointW(dc, wide.data(), n, 0, &fit, ends.data(), &size);
    }
    const auto xAt = [&](int index) { return index <= 0 ? 0 : ends[static_cast<std::size_t>(std::min(index, n)) - 1]; };
    const int x0 = textLeft();
    auto fill = [&](int left, int right, COLORREF colour) {
        const RECT r{x0 + left, y, x0 + right, y + m_lineHeight};
        SetBkColor(dc, colour);
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    };
    forEachMatch(bytes, m_highlight, [&](int from, int to) { fill(xAt(from), xAt(to), kFoundColour); });

    const std::size_t ls = m_doc.lineStart(line);
    const std::size_t le = m_doc.lineEnd(line);
    const std::size_t selFrom = m_doc.selectionStart();
    const std::size_t selTo = m_doc.selectionEnd();
    std::optional<RECT> selected;
    if (selFrom < selTo && selFrom <= le && selTo >= ls && !(selTo == ls && selFrom < ls)) {
        const int from = xAt(Utf16Index(bytes, std::max(selFrom, ls) - ls));
        int to = xAt(Utf16Index(bytes, std::min(selTo, le) - ls));
        // A selected line break shows as a little selected room after the line.
        if (selTo > le && line + 1 < m_doc.lineCount())
            to += m_averageCharWidth;
        if (to > from) {
            fill(from, to, GetSysColor(COLOR_HIGHLIGHT));
            selected = RECT{x0 + from, y, x0 + to, y + m_lineHeight};
        }
    }
    if (n > 0) {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        ExtTextOutW(dc, x0, y, 0, nullptr, wide.data(), static_cast<UINT>(n), nullptr);
        if (selected) {
            SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            ExtTextOutW(dc, x0, y, ETO_CLIPPED, &*selected, wide.data(), static_cast<UINT>(n), nullptr);
        }
    }
    widest = std::max(widest, static_cast<int>(size.cx));
}

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

void Win32LogView::Window::ensureCaretVisible()
{
    const std::size_t line = m_doc.lineOf(m_doc.caret());
    const std::size_t page = visibleLines();
    if (line < m_firstLine)
        m_firstLine = line;
    else if (line >= m_firstLine + page)
        m_firstLine = line - page + 1;
    m_follow = m_firstLine >= lastFirstLine();
    const RECT area = textArea();
    const int margin = win32::scaled(kMarginPx, m_dpi);
    const int x = xOfPos(m_doc.caret());
    const int room = m_averageCharWidth * 4;
    if (x - m_xOffset < 0)
        m_xOffset = std::max(0, x - room);
    else if (x - m_xOffset > area.right - 2 * margin) {
        m_widthPx = std::max(m_widthPx, x + room);
        m_xOffset = x - static_cast<int>(area.right) + 2 * margin + room;
    }
    updateScrollBars();
    placeCaret();
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
    m_mouseSelecting = true;
    m_selectingWords = false;
    m_lastMouse = {x, y};
    setCaret(positionAt(x, y), (keys & MK_SHIFT) != 0);
}

void Win32LogView::Window::onDoubleClick(int x, int y)
{
    SetCapture(m_hwnd);
    const std::size_t pos = positionAt(x, y);
    m_doc.setSelection(m_doc.wordStart(pos), m_doc.wordEnd(pos));
    m_mouseSelecting = true;
    m_selectingWords = true;
    caretChanged();
}

void Win32LogView::Window::onMouseMove(int x, int y)
{
    if (!m_mouseSelecting)
        return;
    m_lastMouse = {x, y};
    std::size_t pos = positionAt(x, y);
    if (m_selectingWords)
        pos = pos >= m_doc.anchor() ? m_doc.wordEnd(pos) : m_doc.wordStart(pos);
    setCaret(pos, true);
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
    if (!m_mouseSelecting || (m_lastMouse.y >= area.top && m_lastMouse.y < area.bottom)) {
        KillTimer(m_hwnd, kAutoScrollTimer);
        return;
    }
    scrollTo(static_cast<long long>(m_firstLine) + (m_lastMouse.y < area.top ? -1 : 1));
    onMouseMove(m_lastMouse.x, m_lastMouse.y);
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
        m_mouseSelecting = false;
        KillTimer(m_hwnd, kAutoScrollTimer);
        if (GetCapture() == m_hwnd)
            ReleaseCapture();
        return 0;
    case WM_CAPTURECHANGED:
        m_mouseSelecting = false;
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
