#include "Win32LogViewWindow.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "shell/LogViewRules.h"

namespace ovin {

// ---- scrolling ----------------------------------------------------------------

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

    const RECT r = textArea();
    const int width = logview::ContentWidthPx(m_doc.widestLineBytes(), m_averageCharWidth, m_widthPx,
                                              win32::scaled(kMarginPx, m_dpi));
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
    if (const std::optional<int> offset =
            logview::OffsetShowingCaret(x, m_xOffset, static_cast<int>(area.right), margin, m_averageCharWidth)) {
        // Further right than the widest line measured so far: the scroll range must reach the caret.
        if (*offset > m_xOffset)
            m_widthPx = std::max(m_widthPx, x + logview::CaretRoomPx(m_averageCharWidth));
        m_xOffset = *offset;
    }
    updateScrollBars();
    placeCaret();
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

}  // namespace ovin
