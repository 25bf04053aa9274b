#include "Win32LogViewWindow.h"

#include <algorithm>
#include <optional>

#include "PaintDC.h"
#include "SelectedObject.h"
#include "WindowDC.h"
#include "controls/win32/ColorRef.h"
#include "platform/win32/Win32Text.h"
#include "shell/LogViewRules.h"
#include "shell/MainWindow.h"

namespace ovin {

using win32::widen;

// ---- fonts and measures ----------------------------------------------------

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
    for (const logview::Utf16Span& match : logview::MatchSpans(bytes, m_highlight))
        fill(xAt(match.from), xAt(match.to), win32::colorRef(logview::kFoundBackground));

    std::optional<RECT> selected;
    if (const std::optional<logview::LineSelection> part = logview::SelectedPart(m_doc, line)) {
        const int from = xAt(part->characters.from);
        int to = xAt(part->characters.to);
        if (part->lineBreak)
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

}  // namespace ovin
