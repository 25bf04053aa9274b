#pragma once

namespace ovin {

/// Why a control lost the keyboard.
enum class FocusLoss {
    /// Another control of the window took it, or the window went.
    Ordinary,
    /// A popup menu or another application has it only for a while: the control stays its window's focused
    /// control and gets it back.
    Borrowed,
};

/// Follows whether a control is the focused control of its window, which is when the controls run their enter
/// and exit rules (select all, clamp, colour swap). Getting a borrowed keyboard back is no new entry.
class FormFocus final {
public:
    /// Call on every focus-in; true when the control has just become its window's focused control.
    bool enters();
    /// Call on every focus-out; true when the control has just stopped being its window's focused control.
    bool exits(FocusLoss loss);

private:
    bool m_focused = false;
};

}  // namespace ovin
