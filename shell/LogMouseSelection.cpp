#include "shell/LogMouseSelection.h"

#include "shell/LogDocument.h"

namespace ovin {

void LogMouseSelection::press(std::size_t pos, bool keepAnchor)
{
    m_selecting = true;
    m_byWords = false;
    m_document.setCaret(pos, keepAnchor);
}

void LogMouseSelection::doubleClick(std::size_t pos)
{
    m_selecting = true;
    m_byWords = true;
    m_document.setSelection(m_document.wordStart(pos), m_document.wordEnd(pos));
}

std::optional<std::size_t> LogMouseSelection::dragTarget(std::size_t pos) const
{
    if (!m_selecting)
        return std::nullopt;
    if (!m_byWords)
        return pos;
    // The word under the mouse is taken whole on the side the selection grows towards.
    return pos >= m_document.anchor() ? m_document.wordEnd(pos) : m_document.wordStart(pos);
}

bool LogMouseSelection::release()
{
    const bool was = m_selecting;
    m_selecting = false;
    return was;
}

}  // namespace ovin
