#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "controls/LabelPlacement.h"
#include "controls/win32/Win32LabelX.h"
#include "controls/win32/Win32SpinEdit.h"

namespace ovin {

/// The labelled spin edit (`TSpinEditX`): a spin edit with an optional caption label that it creates when given
/// a Caption, places beside itself, moves along whenever its edit is moved or resized, and destroys when the
/// Caption is cleared or it is destroyed itself.
///
/// The label stands in the container the spin edit had when the label was made, as the edit's sibling; a label
/// that its container destroyed first is never destroyed again.
class Win32SpinEditX final {
public:
    /// `name` is the control's name, which a new label shows (and is measured by) until it gets the caption.
    Win32SpinEditX(HWND parent, int controlId, RECT bounds, SpinLimits limits, HFONT font, std::wstring name);
    ~Win32SpinEditX();
    Win32SpinEditX(const Win32SpinEditX&) = delete;
    Win32SpinEditX& operator=(const Win32SpinEditX&) = delete;

    Win32SpinEdit& spinEdit() { return m_spin; }
    HWND edit() const { return m_spin.edit(); }

    /// The last text given, even when the label's own text was changed since.
    const std::wstring& Caption() const { return m_caption; }
    /// A non-empty text creates the label if there is none and gives it the text; an empty one destroys it.
    void setCaption(const std::wstring& caption);
    /// The caption label, or null.
    Win32LabelX* CaptionLabel() const { return m_label.get(); }

    /// The gap in pixels between the spin edit and its label.
    int LabelSpacing() const { return m_labelSpacing; }
    void setLabelSpacing(int spacing);
    TLabelPosition LabelPosition() const { return m_labelPosition; }
    /// Moves the label to that side; without a label the call is ignored and the position stays as it was.
    void setLabelPosition(TLabelPosition position);

    /// Moves and resizes the whole control, arrows included, in its container's coordinates; the label follows.
    void setBounds(RECT bounds);

private:
    static LRESULT CALLBACK followProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR self);

    Win32SpinEdit m_spin;
    std::wstring m_name;
    std::wstring m_caption;
    std::unique_ptr<Win32LabelX> m_label;
    int m_labelSpacing = 3;
    TLabelPosition m_labelPosition = lpAbove;
};

}  // namespace ovin
