#pragma once

class QFocusEvent;

namespace ovin {

/// Follows whether a control is the focused control of its window, which is when the controls run their
/// enter and exit rules (select all, clamp, colour swap).
///
/// Opening a popup menu or switching to another application takes the keyboard away only for a while: the
/// control stays its window's focused control and gets the keyboard back, so neither counts as an exit, and
/// getting the keyboard back does not count as a new entry.
class FormFocus final {
public:
    /// Call on every focus-in; true when the control has just become its window's focused control.
    bool enters();

    /// Call on every focus-out; true when the control has just stopped being its window's focused control.
    bool exits(const QFocusEvent& event);

private:
    bool m_focused = false;
};

} // namespace ovin
