#pragma once

#include <cstdint>

namespace ovin {

/// The colour rule of the focus-colour edit (`TadpEdit`): on entry the current colour is kept and the edit
/// takes ColorOnEnter; on exit it gets the kept colour back. Colours are the front end's own 32-bit values.
class FocusColour final {
public:
    /// The colour at construction, so that an exit without an entry changes nothing.
    explicit FocusColour(std::uint32_t initial) : m_saved(initial) {}

    /// The colour the edit takes on entry, given its colour now.
    std::uint32_t enter(std::uint32_t current, std::uint32_t colorOnEnter)
    {
        m_saved = current;
        return colorOnEnter;
    }
    /// The colour the edit takes on exit.
    std::uint32_t exit() const { return m_saved; }

private:
    std::uint32_t m_saved;
};

}  // namespace ovin
