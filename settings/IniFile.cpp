#include "IniFile.h"

#include "TextLines.h"

#include <algorithm>
#include <limits>

namespace ovin {

namespace {

constexpr std::string_view kNewLine = "\r\n";
// What editors on other systems put before the first line of a UTF-8 file.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view trimBlanks(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

bool isComment(std::string_view content)
{
    const auto t = trimBlanks(content);
    return !t.empty() && (t.front() == ';' || t.front() == '#');
}

int digitValue(char c, int base)
{
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v < base ? v : -1;
}

}  // namespace

IniFile::IniFile(std::string_view text)
{
    m_byteOrderMark = text.substr(0, kByteOrderMark.size()) == kByteOrderMark;
    if (m_byteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    ForEachLine(text, [this](std::string_view line, std::string_view lineBreak) {
        m_lines.push_back({std::string(line), std::string(lineBreak)});
    });
}

std::optional<std::string> IniFile::sectionName(std::string_view content)
{
    const auto t = trimBlanks(content);
    if (t.empty() || t.front() != '[')
        return std::nullopt;
    const auto close = t.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return std::string(trimBlanks(t.substr(1, close - 1)));
}

std::optional<IniFile::Entry> IniFile::parseKeyLine(std::size_t index, std::string_view content)
{
    if (isComment(content))
        return std::nullopt;
    const auto eq = content.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    const auto key = trimBlanks(content.substr(0, eq));
    if (key.empty())
        return std::nullopt;
    return Entry{index, std::string(key), std::string(trimBlanks(content.substr(eq + 1)))};
}

std::optional<std::size_t> IniFile::findSection(std::string_view section) const
{
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionName(m_lines[i].content);
        if (name && equalsNoCase(*name, section))
            return i;
    }
    return std::nullopt;
}

std::optional<IniFile::Entry> IniFile::findKey(std::size_t sectionLine, std::string_view key) const
{
    for (std::size_t i = sectionLine + 1; i < m_lines.size(); ++i) {
        if (sectionName(m_lines[i].content))
            break;
        auto entry = parseKeyLine(i, m_lines[i].content);
        if (entry && equalsNoCase(entry->key, key))
            return entry;
    }
    return std::nullopt;
}

std::optional<std::string> IniFile::readString(std::string_view section, std::string_view key) const
{
    const auto sec = findSection(section);
    if (!sec)
        return std::nullopt;
    auto entry = findKey(*sec, key);
    if (!entry)
        return std::nullopt;
    // One pair of matching quotes around a value only groups it, as the
    // profile functions read it; the quotes are not part of the value.
    const std::string& v = entry->value;
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        entry->value = v.substr(1, v.size() - 2);
    if (entry->value.size() > kMaxValueLength)
        entry->value.resize(kMaxValueLength);
    return entry->value;
}

std::optional<std::int32_t> IniFile::parseInteger(std::string_view text)
{
    std::string_view s = trimBlanks(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    } else if (!s.empty() && (s[0] == '$' || s[0] == 'x' || s[0] == 'X')) {
        base = 16;
        s.remove_prefix(1);
    }
    if (s.empty())
        return std::nullopt;
    std::int64_t magnitude = 0;
    for (const char c : s) {
        const int d = digitValue(c, base);
        if (d < 0)
            return std::nullopt;
        magnitude = magnitude * base + d;
        if (magnitude > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1)
            return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::int32_t IniFile::readInteger(std::string_view section, std::string_view key, std::int32_t fallback) const
{
    const auto text = readString(section, key);
    if (!text)
        return fallback;
    return parseInteger(*text).value_or(fallback);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool fallback) const
{
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    const auto sec = findSection(section);
    if (!sec) {
        if (!m_lines.empty() && m_lines.back().eol.empty())
            m_lines.back().eol = kNewLine;
        m_lines.push_back({"[" + std::string(section) + "]", std::string(kNewLine)});
        m_lines.push_back({std::string(key) + "=" + std::string(value), std::string(kNewLine)});
        return;
    }
    if (const auto entry = findKey(*sec, key)) {
        Line& line = m_lines[entry->line];
        line.content = entry->key + "=" + std::string(value);
        return;
    }
    // A new key goes right after the section's last key, ahead of any blank
    // lines or comments that lead into the next section.
    std::size_t insertAt = *sec + 1;
    for (std::size_t i = *sec + 1; i < m_lines.size() && !sectionName(m_lines[i].content); ++i) {
        if (parseKeyLine(i, m_lines[i].content))
            insertAt = i + 1;
    }
    if (m_lines[insertAt - 1].eol.empty())
        m_lines[insertAt - 1].eol = kNewLine;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                   Line{std::string(key) + "=" + std::string(value), std::string(kNewLine)});
}

std::string IniFile::text() const
{
    std::string out(m_byteOrderMark ? kByteOrderMark : std::string_view{});
    for (const auto& line : m_lines) {
        out += line.content;
        out += line.eol;
    }
    return out;
}

}  // namespace ovin
