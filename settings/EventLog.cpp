#include "EventLog.h"

#include "TextLines.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "OvinError.h"
#include "platform/Clock.h"
#include "settings/Texts.h"

namespace ovin {

namespace {

constexpr std::string_view kNewLine = "\r\n";
constexpr std::size_t kGrowthRoomBytes = std::size_t{1} << 20;

std::string twoDigits(int v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

std::string timeStamp(const LocalTime& t)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03d", t.hour, t.minute, t.second, t.millisecond);
    return buf;
}

std::string startStamp(const LocalTime& t)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d %02d:%02d:%02d", t.day, t.month, t.year, t.hour, t.minute, t.second);
    return buf;
}

bool endsWithLineBreak(const std::string& s) { return !s.empty() && (s.back() == '\n' || s.back() == '\r'); }

}  // namespace

const std::string EventLog::kSeparator(119, '-');

EventLog::EventLog(FileSystem& files, Clock& clock, std::string appFolder, std::size_t capacity)
    : m_files(files), m_clock(clock), m_capacity(capacity), m_appFolder(std::move(appFolder))
{
}

std::string EventLog::LogFileName() const
{
    const LocalTime now = m_clock.now();
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d", now.year);
    return m_appFolder + "ovin" + buf + twoDigits(now.month) + ".log";
}

std::string EventLog::normalizeLineBreaks(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    ForEachLine(text, [&](std::string_view line, std::string_view lineBreak) {
        out += line;
        if (!lineBreak.empty())
            out += kNewLine;
    });
    return out;
}

bool EventLog::hasOnlyCrLf(std::string_view text)
{
    // memchr runs far faster than a loop over every byte, and a month of log
    // is read at every start.
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    std::size_t pairs = 0;
    for (const char* p = begin; (p = static_cast<const char*>(std::memchr(p, '\r', end - p))) != nullptr; ++p) {
        if (p + 1 == end || p[1] != '\n')
            return false;
        ++pairs;
    }
    std::size_t feeds = 0;
    for (const char* p = begin; (p = static_cast<const char*>(std::memchr(p, '\n', end - p))) != nullptr; ++p)
        ++feeds;
    return feeds == pairs;
}

void EventLog::append(std::string_view added)
{
    m_text.append(added);
    if (m_observer)
        m_observer->logAppended(added);
}

void EventLog::add(std::string_view text)
{
    std::string added;
    added.reserve(text.size() + 2);
    if (m_text.empty() || endsWithLineBreak(m_text)) {
        added.append(text);
        added.append(kNewLine);
    } else {
        added.append(kNewLine);
        added.append(text);
    }
    append(added);
}

void EventLog::AddLogText(std::string_view text) { add(text); }

void EventLog::AddLogLine(std::string_view message, LineSeverity severity)
{
    // Appended piece by piece: GCC 12's optimiser sees a false overlap in "[" + temporary (-Wrestrict).
    const std::string stamp = timeStamp(m_clock.now());
    std::string line;
    line.reserve(stamp.size() + message.size() + 3);
    line.append("[").append(stamp).append("] ").append(message);
    add(line);
    // Before the save: a month file that cannot be written must not keep the line from the system log too.
    if (m_lineListener)
        m_lineListener(message, severity);
    save();
}

void EventLog::AddStartHeader()
{
    AddLogText("");
    AddLogText(kSeparator);
    AddLogText(startStamp(m_clock.now()) + texts::kLogStart);
    AddLogText(texts::kLogSettings);
}

void EventLog::AddClosingLines()
{
    AddLogLine(texts::kLogClosing);
    AddLogText(kSeparator);
}

void EventLog::AppendLines(std::string_view linesText)
{
    // The size first, so that a copy too long for the log costs no memory,
    // then the bytes straight into the text: every line, the last one too,
    // ends with CR LF.
    std::size_t size = 0;
    ForEachLine(linesText, [&](std::string_view line, std::string_view) { size += line.size() + kNewLine.size(); });
    if (size > room())
        throw OvinError(texts::kErrorMemoCapacity);
    const std::size_t from = m_text.size();
    m_text.reserve(from + size);
    ForEachLine(linesText, [&](std::string_view line, std::string_view) {
        m_text.append(line);
        m_text.append(kNewLine);
    });
    if (m_observer && size > 0)
        m_observer->logAppended(std::string_view(m_text).substr(from));
}

void EventLog::editText(std::size_t pos, std::size_t removeLen, std::string_view insert)
{
    pos = std::min(pos, m_text.size());
    removeLen = std::min(removeLen, m_text.size() - pos);
    if (removeLen == 0 && insert.empty())
        return;
    // The month file still holds the start of the text only while the edit
    // lies after what was saved; otherwise the next save writes it whole.
    if (m_saved && pos < m_saved->length) {
        if (isUnloaded(m_saved->path))
            m_saved->length = pos;
        else
            m_saved.reset();
    }
    m_text.replace(pos, removeLen, insert);
    if (m_observer)
        m_observer->logEdited(pos, removeLen, insert.size());
}

bool EventLog::isUnloaded(const std::string& path) const { return m_unloadedFile && *m_unloadedFile == path; }

void EventLog::LoadMonthFile()
{
    const std::string name = LogFileName();
    if (!m_files.fileExists(name))
        return;
    // A file too long for the log is not read into memory at all.
    const auto size = m_files.entrySize(name);
    const bool tooLong = size && static_cast<std::uint64_t>(*size) > m_capacity;
    std::string content;
    // Room to grow in: the run's first line must not copy a month of text,
    // which would hold the text twice in memory for a moment.
    if (size && !tooLong && *size >= 0)
        content.reserve(static_cast<std::size_t>(*size) + static_cast<std::size_t>(*size) / 8 + kGrowthRoomBytes);
    const Result read = tooLong ? Result{} : m_files.readFile(name, content);
    if (!read.ok || tooLong || content.size() > m_capacity) {
        // What could not be loaded stays in the file: the run's lines are
        // added after it instead of replacing it.
        m_unloadedFile = name;
        if (const auto id = m_files.identity(name))
            m_saved = Saved{name, 0, *id};
        if (!read.ok)
            throw OvinError(texts::kErrorCannotOpen + name + texts::kErrorPathEnd + read.error);
        throw OvinError(texts::kErrorMemoCapacity);
    }
    const bool unchanged = hasOnlyCrLf(content);
    m_text = unchanged ? std::move(content) : normalizeLineBreaks(content);
    if (m_observer)
        m_observer->logReplaced();
    if (unchanged) {
        if (const auto id = m_files.identity(name))
            m_saved = Saved{name, m_text.size(), *id};
    }
}

void EventLog::rememberSaved(const std::string& name)
{
    if (const auto after = m_files.identity(name))
        m_saved = Saved{name, m_text.size(), *after};
    else
        m_saved.reset();
}

void EventLog::save()
{
    const std::string name = LogFileName();
    const auto current = m_files.identity(name);
    const bool known = m_saved && m_saved->path == name && m_saved->length <= m_text.size();
    const bool unloaded = isUnloaded(name) && current;
    if (unloaded || (known && current && *current == m_saved->identity)) {
        const std::size_t from = known ? m_saved->length : 0;
        const Result r = m_files.appendFile(name, std::string_view(m_text).substr(from));
        if (!r.ok) {
            // A failed addition is taken back by the file system; only a file
            // that was loaded can be rewritten whole next time.
            if (!unloaded)
                m_saved.reset();
            throw OvinError(texts::kErrorCannotCreate + name + texts::kErrorPathEnd + r.error);
        }
        rememberSaved(name);
        return;
    }
    const Result r = m_files.replaceFile(name, m_text);
    if (!r.ok) {
        m_saved.reset();
        throw OvinError(texts::kErrorCannotCreate + name + texts::kErrorPathEnd + r.error);
    }
    rememberSaved(name);
}

}  // namespace ovin
