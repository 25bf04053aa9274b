#include "shell/LogDocument.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "settings/TextLines.h"

namespace ovin {

namespace {

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::string withCrLf(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    ForEachLine(text, [&](std::string_view line, std::string_view lineBreak) {
        out += line;
        if (!lineBreak.empty())
            out += "\r\n";
    });
    return out;
}

}  // namespace

bool IsWordByte(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || std::isalnum(u) || c == '_';
}

int Utf16Index(std::string_view line, std::size_t offset)
{
    int units = 0;
    for (std::size_t i = 0; i < offset && i < line.size(); ++i) {
        const auto u = static_cast<unsigned char>(line[i]);
        if (!isContinuation(line[i]))
            units += u >= 0xF0 ? 2 : 1;
    }
    return units;
}

std::size_t Utf8Offset(std::string_view line, int index)
{
    int units = 0;
    std::size_t i = 0;
    while (i < line.size() && units < index) {
        const auto u = static_cast<unsigned char>(line[i]);
        units += u >= 0xF0 ? 2 : 1;
        ++i;
        while (i < line.size() && isContinuation(line[i]))
            ++i;
    }
    return i;
}

LogDocument::LogDocument(EventLog& log, LogDocumentView& view) : m_log(log), m_view(view)
{
    m_log.setObserver(this);
    rebuildIndex();
    m_caret = m_anchor = m_log.text().size();
}

LogDocument::~LogDocument() { m_log.setObserver(nullptr); }

// ---- the index -------------------------------------------------------------

void LogDocument::indexBreaks(std::size_t from, std::size_t to, std::vector<std::size_t>& starts)
{
    // memchr runs far faster than a loop over every byte, and a month of log is indexed at every start.
    const char* const base = m_log.text().data();
    const char* p = base + from;
    const char* const end = base + to;
    std::size_t lineBegin = starts.empty() ? 0 : starts.back();
    while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) != nullptr) {
        const auto next = static_cast<std::size_t>(p - base) + 1;
        m_widestLineBytes = std::max(m_widestLineBytes, next - lineBegin);
        starts.push_back(next);
        lineBegin = next;
        ++p;
    }
    m_widestLineBytes = std::max(m_widestLineBytes, to - std::min(to, lineBegin));
}

void LogDocument::rebuildIndex()
{
    m_lineStarts.assign(1, 0);
    m_widestLineBytes = 0;
    indexBreaks(0, m_log.text().size(), m_lineStarts);
}

void LogDocument::logReplaced()
{
    rebuildIndex();
    // Opened on a month of log, the view shows its end.
    m_caret = m_anchor = m_log.text().size();
    m_view.documentReplaced();
}

void LogDocument::logAppended(std::string_view added)
{
    const std::size_t oldSize = m_log.text().size() - added.size();
    indexBreaks(oldSize, m_log.text().size(), m_lineStarts);
    // A caret at the very end stays at the end, so that what the user goes on typing lands after the new line.
    const bool caretAtEnd = m_caret == oldSize;
    if (caretAtEnd)
        m_caret = m_log.text().size();
    if (m_anchor == oldSize)
        m_anchor = m_log.text().size();
    m_view.documentAppended(caretAtEnd);
}

void LogDocument::logEdited(std::size_t pos, std::size_t removed, std::size_t inserted)
{
    // Lines whose break was removed go; later lines move by the change; breaks in the inserted text make new
    // lines.
    auto first = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), pos);
    auto last = std::upper_bound(first, m_lineStarts.end(), pos + removed);
    for (auto it = last; it != m_lineStarts.end(); ++it)
        *it = *it - removed + inserted;
    const auto at = m_lineStarts.erase(first, last) - m_lineStarts.begin();
    std::vector<std::size_t> fresh{m_lineStarts[static_cast<std::size_t>(at) - 1]};
    indexBreaks(pos, pos + inserted, fresh);
    m_lineStarts.insert(m_lineStarts.begin() + at, fresh.begin() + 1, fresh.end());
    noteLineWidth(lineOf(pos + inserted));

    auto shift = [&](std::size_t& p) {
        if (p >= pos + removed)
            p = p - removed + inserted;
        else if (p > pos)
            p = pos;
    };
    shift(m_caret);
    shift(m_anchor);
    m_view.documentEdited();
}

void LogDocument::noteLineWidth(std::size_t line)
{
    m_widestLineBytes = std::max(m_widestLineBytes, lineEnd(line) - lineStart(line));
}

std::size_t LogDocument::lineEnd(std::size_t line) const
{
    const std::string& t = m_log.text();
    if (line + 1 >= m_lineStarts.size())
        return t.size();
    std::size_t end = m_lineStarts[line + 1] - 1;
    if (end > m_lineStarts[line] && t[end - 1] == '\r')
        --end;
    return end;
}

std::size_t LogDocument::lineOf(std::size_t pos) const
{
    return static_cast<std::size_t>(std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), pos) -
                                    m_lineStarts.begin()) -
           1;
}

std::string_view LogDocument::lineBytes(std::size_t line) const
{
    const std::size_t from = lineStart(line);
    return std::string_view(m_log.text()).substr(from, lineEnd(line) - from);
}

// ---- the caret -------------------------------------------------------------

std::size_t LogDocument::nextPos(std::size_t pos) const
{
    const std::string& t = m_log.text();
    if (pos >= t.size())
        return t.size();
    if (t[pos] == '\r' && pos + 1 < t.size() && t[pos + 1] == '\n')
        return pos + 2;
    ++pos;
    while (pos < t.size() && isContinuation(t[pos]))
        ++pos;
    return pos;
}

std::size_t LogDocument::prevPos(std::size_t pos) const
{
    const std::string& t = m_log.text();
    if (pos == 0)
        return 0;
    if (t[pos - 1] == '\n' && pos >= 2 && t[pos - 2] == '\r')
        return pos - 2;
    --pos;
    while (pos > 0 && isContinuation(t[pos]))
        --pos;
    return pos;
}

std::size_t LogDocument::wordStart(std::size_t pos) const
{
    const std::string& t = m_log.text();
    const std::size_t ls = lineStart(lineOf(pos));
    while (pos > ls && IsWordByte(t[pos - 1]))
        --pos;
    while (pos < t.size() && isContinuation(t[pos]))
        ++pos;
    return pos;
}

std::size_t LogDocument::wordEnd(std::size_t pos) const
{
    const std::string& t = m_log.text();
    const std::size_t le = lineEnd(lineOf(pos));
    while (pos < le && IsWordByte(t[pos]))
        ++pos;
    return pos;
}

std::optional<std::size_t> LogDocument::moveTarget(EditorCommand command, bool extend) const
{
    const bool collapse = hasSelection() && !extend;
    switch (command) {
    case EditorCommand::MoveLeft:
        return collapse ? selectionStart() : prevPos(m_caret);
    case EditorCommand::MoveRight:
        return collapse ? selectionEnd() : nextPos(m_caret);
    case EditorCommand::WordLeft:
        return wordStart(prevPos(m_caret));
    case EditorCommand::WordRight: {
        std::size_t p = m_caret;
        while (p < m_log.text().size() && !IsWordByte(m_log.text()[p]))
            p = nextPos(p);
        return wordEnd(p);
    }
    case EditorCommand::LineStart:
        return lineStart(lineOf(m_caret));
    case EditorCommand::LineEnd:
        return lineEnd(lineOf(m_caret));
    case EditorCommand::DocumentStart:
        return 0;
    case EditorCommand::DocumentEnd:
        return m_log.text().size();
    default:
        return std::nullopt;
    }
}

void LogDocument::setCaret(std::size_t pos, bool keepAnchor)
{
    m_caret = std::min(pos, m_log.text().size());
    if (!keepAnchor)
        m_anchor = m_caret;
}

void LogDocument::setSelection(std::size_t anchor, std::size_t caret)
{
    m_anchor = std::min(anchor, m_log.text().size());
    setCaret(caret, true);
}

void LogDocument::selectAll()
{
    m_anchor = 0;
    m_caret = m_log.text().size();
}

std::string LogDocument::selectedText() const
{
    return m_log.text().substr(selectionStart(), selectionEnd() - selectionStart());
}

// ---- editing ---------------------------------------------------------------

void LogDocument::insertText(std::string_view text)
{
    std::string crlf;
    if (text.find_first_of("\r\n") != std::string_view::npos) {
        crlf = withCrLf(text);
        text = crlf;
    }
    const std::size_t from = selectionStart();
    const std::size_t len = selectionEnd() - from;
    m_log.editText(from, len, text);
    setCaret(from + text.size());
}

void LogDocument::removeBackward()
{
    if (!hasSelection())
        m_anchor = prevPos(m_caret);
    insertText({});
}

void LogDocument::removeForward()
{
    if (!hasSelection())
        m_anchor = nextPos(m_caret);
    insertText({});
}

// ---- find ------------------------------------------------------------------

bool LogDocument::findNext(std::string_view needle, bool backward)
{
    const std::string_view t = m_log.text();
    if (needle.empty() || needle.size() > t.size())
        return false;
    std::size_t at;
    if (!backward) {
        at = t.find(needle, selectionEnd() > selectionStart() ? selectionStart() + 1 : m_caret);
        if (at == std::string_view::npos)
            at = t.find(needle);
    } else {
        const std::size_t from = selectionStart();
        at = from == 0 ? std::string_view::npos : t.rfind(needle, from - 1);
        if (at == std::string_view::npos)
            at = t.rfind(needle);
    }
    if (at == std::string_view::npos)
        return false;
    setSelection(at, at + needle.size());
    return true;
}

}  // namespace ovin
