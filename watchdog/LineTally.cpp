#include "LineTally.h"

namespace ovin {

void LineTally::add(std::string_view piece)
{
    for (const char c : piece) {
        if (c == '\n' && m_afterCr) {
            m_afterCr = false;
            continue;
        }
        m_afterCr = c == '\r';
        if (c == '\r' || c == '\n') {
            ++m_breaks;
            m_openLine = false;
        } else {
            ++m_textBytes;
            m_openLine = true;
        }
    }
}

}  // namespace ovin
