#pragma once

#include <string_view>

namespace ovin {

/// The one rule by which the program splits text into lines, for its own files, the log, the switches file and
/// the router's request file: a line ends at CR, at LF, or at CR LF; text after the last break is a last line
/// without one.

/// Calls `onLine(line, lineBreak)` for every line of a whole text, without copying; `lineBreak` is "\r\n",
/// "\n", "\r", or empty for a last line without a break. An empty text has no lines.
template <typename OnLine>
void ForEachLine(std::string_view text, OnLine&& onLine)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t br = text.find_first_of("\r\n", pos);
        if (br == std::string_view::npos) {
            onLine(text.substr(pos), std::string_view());
            return;
        }
        const std::size_t length = text[br] == '\r' && br + 1 < text.size() && text[br + 1] == '\n' ? 2 : 1;
        onLine(text.substr(pos, br - pos), text.substr(br, length));
        pos = br + length;
    }
}

/// The same rule for a text that arrives in pieces, holding nothing of it: a CR at the end of a piece ends its
/// line at once, and an LF at the start of the next piece then belongs to that break.
class LineSplitter final {
public:
    /// `onText(run)` gets the characters of the current line as they come (a line may come in several runs, an
    /// empty line in none); `onBreak()` ends the line. Either may return false to stop: `feed` then returns
    /// false at once.
    template <typename OnText, typename OnBreak>
    bool feed(std::string_view piece, OnText&& onText, OnBreak&& onBreak)
    {
        std::size_t pos = 0;
        if (m_afterCr && !piece.empty() && piece.front() == '\n')
            pos = 1;
        m_afterCr = false;
        while (pos < piece.size()) {
            const std::size_t br = piece.find_first_of("\r\n", pos);
            const std::size_t end = br == std::string_view::npos ? piece.size() : br;
            if (end > pos && !onText(piece.substr(pos, end - pos)))
                return false;
            if (br == std::string_view::npos)
                break;
            if (!onBreak())
                return false;
            pos = br + 1;
            if (piece[br] == '\r') {
                if (pos == piece.size())
                    m_afterCr = true;
                else if (piece[pos] == '\n')
                    ++pos;
            }
        }
        return true;
    }

private:
    bool m_afterCr = false;
};

}  // namespace ovin
