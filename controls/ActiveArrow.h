#pragma once

namespace ovin {

/// Which arrow of a spin button is active (`TSpinButton`): the one that carries the focus mark and that Space
/// clicks. The up arrow after construction; only a spin button that can hold the focus changes it.
class ActiveArrow final {
public:
    enum Arrow { Up, Down };

    Arrow active() const { return m_active; }
    /// Whether the active arrow shows the focus mark: exactly while the spin button holds the focus.
    bool focusMark() const { return m_focused; }

    /// `SetActiveButton`: takes effect only when the spin button is a tab stop and can take the focus. True
    /// when the active arrow changed (the front end repaints both).
    bool SetActiveButton(Arrow arrow, bool tabStop, bool canTakeFocus);

    void focusIn() { m_focused = true; }
    void focusOut() { m_focused = false; }

private:
    Arrow m_active = Up;
    bool m_focused = false;
};

}  // namespace ovin
