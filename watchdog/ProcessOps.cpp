#include "ProcessOps.h"

#include <cstdio>

#include "platform/FileSystem.h"
#include "platform/ProcessTable.h"
#include "settings/TextLines.h"

namespace ovin {

namespace {

// Every character whose code is 32 or less goes, at both ends; bytes of
// UTF-8 sequences are above 127 and stay.
std::string_view trimControls(std::string_view s)
{
    auto low = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    while (!s.empty() && low(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && low(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string upperAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

char32_t lowerLatin(char32_t cp)
{
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)
        return cp + 0x20;
    if (cp == 0x130)  // capital I with dot: its lower case is the plain i
        return U'i';
    // Latin Extended-A pairs capital and small letters; where the pairs start
    // on an odd code the capital is the odd one.
    const bool even = cp % 2 == 0;
    if ((cp >= 0x100 && cp <= 0x137 && even) || (cp >= 0x139 && cp <= 0x148 && !even) ||
        (cp >= 0x14A && cp <= 0x177 && even) || (cp >= 0x179 && cp <= 0x17E && !even))
        return cp + 1;
    if (cp == 0x178)
        return 0xFF;
    return cp;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string key(std::string_view name) { return std::string(trimControls(LowerCase(FileNamePart(name)))); }

// How many lines of an image name are the wanted key. The names are looked
// at as the lines of the whole list that GetProcessNames makes, one name
// after another, so a name that holds a line break counts by its lines; an
// empty line, which the breaks between names add, never is a key.
template <typename Match>
int matchingLines(std::string_view imageName, Match&& match)
{
    int lines = 0;
    ForEachLine(imageName, [&](std::string_view line, std::string_view) { lines += match(line) ? 1 : 0; });
    return lines;
}

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::string_view FileNamePart(std::string_view name)
{
    const auto cut = name.find_last_of("\\:/");
    return cut == std::string_view::npos ? name : name.substr(cut + 1);
}

std::string LowerCase(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        if (b0 < 0x80) {
            out += (b0 >= 'A' && b0 <= 'Z') ? static_cast<char>(b0 + 32) : static_cast<char>(b0);
            continue;
        }
        // Every letter with a case mapping here is a two-byte sequence.
        const auto b1 = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (b0 >= 0xC2 && b0 <= 0xDF && (b1 & 0xC0) == 0x80) {
            appendUtf8(out, lowerLatin((char32_t(b0 & 0x1F) << 6) | (b1 & 0x3F)));
            ++i;
            continue;
        }
        out += static_cast<char>(b0);
    }
    return out;
}

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    ForEachLine(text, [&](std::string_view line, std::string_view) { lines.emplace_back(line); });
    return lines;
}

std::string GetProcessNames(const ProcessTable& table)
{
    std::string names;
    for (const ProcessEntry& e : table.snapshot()) {
        names += e.imageName;
        names += "\r\n";
    }
    return names;
}

bool IsProcessRunning(const ProcessTable& table, std::string_view name)
{
    const std::string wanted = key(name);
    const auto matches = [&](std::string_view line) { return LowerCase(line) == wanted; };
    return table.findAny([&](std::string_view n) { return matchingLines(n, matches) > 0; }).has_value();
}

int CountProcesses(const ProcessTable& table, std::string_view name)
{
    const std::string wanted = key(name);
    const auto matches = [&](std::string_view line) { return trimControls(LowerCase(line)) == wanted; };
    int count = 0;
    for (const ProcessEntry& e : table.snapshot([&](std::string_view n) { return matchingLines(n, matches) > 0; }))
        count += matchingLines(e.imageName, matches);
    return count;
}

TerminateOutcome TerminateProcessByName(ProcessTable& table, std::string_view name)
{
    const std::string wanted = upperAscii(name);
    const auto matches = [&](std::string_view n) {
        return upperAscii(FileNamePart(n)) == wanted || upperAscii(n) == wanted;
    };
    TerminateOutcome outcome;
    for (const ProcessEntry& e : table.snapshot(matches)) {
        Result r = table.terminate(e);
        if (r.ok) {
            ++outcome.ended;
        } else if (outcome.refused++ == 0) {
            outcome.firstError = std::move(r.error);
        }
    }
    return outcome;
}

std::int32_t FileSizeOf(const FileSystem& files, const std::string& path)
{
    const auto size = files.entrySize(path);
    if (!size)
        return -1;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(*size));
}

bool ForceDeleteFile(FileSystem& files, const std::string& path)
{
    if (!files.fileExists(path))
        return false;
    // A file that cannot be made writable may still be deleted: the
    // deletion's own answer decides.
    (void)files.makeWritable(path);
    return files.deleteFile(path).ok;
}

std::optional<LocalTime> DateStampToLocalTime(std::int32_t stamp)
{
    const auto packed = static_cast<std::uint32_t>(stamp);
    const std::uint32_t date = packed >> 16;
    const std::uint32_t time = packed & 0xFFFF;
    LocalTime t;
    t.year = 1980 + static_cast<int>(date >> 9);
    t.month = static_cast<int>((date >> 5) & 0x0F);
    t.day = static_cast<int>(date & 0x1F);
    t.hour = static_cast<int>(time >> 11);
    t.minute = static_cast<int>((time >> 5) & 0x3F);
    t.second = static_cast<int>(time & 0x1F) * 2;
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > daysInMonth(t.year, t.month) || t.hour > 23 ||
        t.minute > 59 || t.second > 59)
        return std::nullopt;
    return t;
}

std::string DateTimeText(const LocalTime& t)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%d.%d.%d %02d:%02d:%02d", t.day, t.month, t.year, t.hour, t.minute, t.second);
    return buf;
}

}  // namespace ovin
