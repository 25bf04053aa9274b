#pragma once

// The log view's window, shared by the files that paint it, scroll it and take its input; nothing outside the log
// view includes it.

#include "Win32LogView.h"

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Clipboard.h"
#include "Dpi.h"
#include "LogViewAccessible.h"
#include "UniqueHandle.h"
#include "Win32FindBar.h"
#include "shell/LogDocument.h"
#include "shell/LogEditor.h"
#include "shell/LogMouseSelection.h"
#include "shell/LogViewRules.h"

namespace ovin {

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
    static constexpr wchar_t kClassName[] = L"OvinLogView";
    static constexpr UINT_PTR kAutoScrollTimer = 1;
    static constexpr UINT kAutoScrollMs = 50;
    static constexpr int kMarginPx = logview::kMarginPx;
    // Sent from Windows 10 1703 on when the window's resolution changed (a monitor of another scale); declared
    // here because the program is built against the Windows 7 declarations.
    static constexpr UINT kDpiChangedAfterParent = 0x02E3;

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
    LogMouseSelection m_mouse{m_doc};
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

}  // namespace ovin
