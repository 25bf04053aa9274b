#pragma once

#include <windows.h>

#include <string>

namespace ovin {

/// The control library's plain text label (`TLabelX`), a window of class "TLabelX": the system's static text
/// that sizes itself to its caption whenever the caption or the font changes, keeping its top-left corner. An
/// "&" in the caption underlines the next letter ("&&" shows one "&"); the underline is only a mark: the label
/// offers no mnemonic to the dialog keys, so the letter moves no focus.
///
/// The label takes the mouse: a click or a release on it belongs to the label, not to the container beneath.
/// It is drawn beneath overlapping siblings that stand above it in the z-order, so an edit placed over the end
/// of a long caption stays whole.
class Win32LabelX final {
public:
    /// A new label is 65 × 17 until it has a caption; `font` null keeps the system font.
    Win32LabelX(HWND parent, int controlId, POINT topLeft, const std::wstring& caption, HFONT font);
    /// Destroys the label's window unless its container has already done so.
    ~Win32LabelX();
    Win32LabelX(const Win32LabelX&) = delete;
    Win32LabelX& operator=(const Win32LabelX&) = delete;

    /// The window, or null once it has been destroyed (by its container, say).
    HWND hwnd() const { return m_window; }
    /// The caption's size in the label's font, accelerator marks not counted.
    SIZE size() const;

    void setCaption(const std::wstring& caption);
    /// Moves the label without resizing it.
    void moveTo(POINT topLeft);

    /// The window class's name.
    static constexpr wchar_t kClassName[] = L"TLabelX";

private:
    static LRESULT CALLBACK labelProc(HWND, UINT, WPARAM, LPARAM);

    HWND m_window = nullptr;
};

}  // namespace ovin
