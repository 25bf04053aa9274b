#pragma once

#include <cstddef>
#include <optional>

namespace ovin {

class LogDocument;

/// Selection with the left mouse button in the log view: a press puts the caret (Shift keeps the anchor), a
/// double click selects a word, and dragging after either extends the selection, by whole words after a double
/// click. The front end turns its mouse events into these calls and the points into text positions.
class LogMouseSelection final {
public:
    explicit LogMouseSelection(LogDocument& document) : m_document(document) {}
    LogMouseSelection(const LogMouseSelection&) = delete;
    LogMouseSelection& operator=(const LogMouseSelection&) = delete;

    /// The left button went down at `pos`; `keepAnchor` with Shift.
    void press(std::size_t pos, bool keepAnchor);
    /// A double click at `pos` selects the word there.
    void doubleClick(std::size_t pos);
    /// The mouse moved to `pos` with the button held: where the caret goes, the anchor kept; none when no
    /// selection by the mouse is under way.
    std::optional<std::size_t> dragTarget(std::size_t pos) const;
    /// The button went up or the view lost the mouse; true when a selection by the mouse was under way.
    bool release();

    bool selecting() const { return m_selecting; }

private:
    LogDocument& m_document;
    bool m_selecting = false;
    bool m_byWords = false;
};

}  // namespace ovin
