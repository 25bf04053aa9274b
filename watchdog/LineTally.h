#pragma once

#include <cstdint>
#include <string_view>

#include "settings/TextLines.h"

namespace ovin {

/// Counts the lines of a text that arrives in pieces, as SplitLines counts
/// the whole (a line ends at CR, LF or CR LF, even when a CR LF is split
/// between two pieces; a last line without a break counts), and the bytes the
/// text takes in the log once every line ends with CR LF. Holds nothing of
/// the text, so a file of any length is counted in constant memory.
class LineTally {
public:
    void add(std::string_view piece);

    std::int64_t lines() const { return m_breaks + (m_openLine ? 1 : 0); }
    std::uint64_t crLfBytes() const { return m_textBytes + 2 * static_cast<std::uint64_t>(lines()); }

private:
    std::int64_t m_breaks = 0;
    std::uint64_t m_textBytes = 0;
    LineSplitter m_lines;
    bool m_openLine = false;
};

}  // namespace ovin
