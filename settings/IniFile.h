#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ovin {

/// An INI text held line by line, so that writing a key changes that one line
/// and every other line, comment and section keeps its bytes and its place.
///
/// Reading follows the usual profile rules: section and key names match
/// without regard to case, blanks around a value are dropped, the first of
/// duplicate sections or keys wins, lines starting with ";" or "#" are
/// comments, and one pair of matching double or single quotes around a value
/// is dropped. A UTF-8 byte-order mark before the first line is read through
/// and written back.
class IniFile {
public:
    /// Longest text value handed out; a longer one is cut.
    static constexpr std::size_t kMaxValueLength = 2047;

    IniFile() = default;
    explicit IniFile(std::string_view text);

    /// The value of a key, or nothing when the section or the key is missing.
    std::optional<std::string> readString(std::string_view section, std::string_view key) const;

    /// A signed 32-bit number in decimal or hexadecimal ("0x", "0X", "$",
    /// "x", "X" after an optional sign); `fallback` when missing or invalid.
    std::int32_t readInteger(std::string_view section, std::string_view key, std::int32_t fallback) const;

    /// A number that is on when not 0; `fallback` when missing or invalid.
    bool readBool(std::string_view section, std::string_view key, bool fallback) const;

    /// Sets a value: in place when the key exists, else at the end of the
    /// section, else in a new section at the end of the text.
    void writeString(std::string_view section, std::string_view key, std::string_view value);

    /// The whole text, with every untouched line as it was read.
    std::string text() const;

    /// Parses a number under the rules of `readInteger`.
    static std::optional<std::int32_t> parseInteger(std::string_view text);

private:
    struct Line {
        std::string content;  ///< without its line break
        std::string eol;      ///< "\r\n", "\n", "\r" or empty for a last line without one
    };
    struct Entry {
        std::size_t line;
        std::string key;
        std::string value;
    };

    std::optional<std::size_t> findSection(std::string_view section) const;
    std::optional<Entry> findKey(std::size_t sectionLine, std::string_view key) const;
    static std::optional<Entry> parseKeyLine(std::size_t index, std::string_view content);
    static std::optional<std::string> sectionName(std::string_view content);

    std::vector<Line> m_lines;
    bool m_byteOrderMark = false;
};

}  // namespace ovin
