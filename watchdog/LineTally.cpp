#include "LineTally.h"

namespace ovin {

void LineTally::add(std::string_view piece)
{
    m_lines.feed(
        piece,
        [this](std::string_view run) {
            m_textBytes += run.size();
            m_openLine = true;
            return true;
        },
        [this] {
            ++m_breaks;
            m_openLine = false;
            return true;
        });
}

}  // namespace ovin
