#include "LogScanner.h"

#include <cstring>

namespace ovin::report {

namespace {

// A byte-order mark as an editor leaves it in UTF-8, and as the same three
// bytes read through the Central European code page come out.
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kBomAs1250 = "\xC4\x8F\xC2\xBB\xC5\xBC";

}  // namespace

LogScanner::LogScanner(std::string fileName) : m_fileName(std::move(fileName)), m_fileMonth(monthOfLogName(m_fileName))
{
}

void LogScanner::feed(std::string_view bytes)
{
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    if (m_skipLf && p < end) {
        m_skipLf = false;
        if (*p == '\n')
            ++p;
    }
    // A line ends at CR LF, at a lone LF or at a lone CR: files edited
    // elsewhere keep their own breaks. memchr finds the breaks far faster
    // than a loop over every byte.
    auto emit = [&](const char* from, const char* to) {
        if (m_carry.empty() && m_carryComplete) {
            line(std::string_view(from, static_cast<std::size_t>(to - from)), true);
            return;
        }
        const std::size_t room = kKeptLineBytes - m_carry.size();
        const auto n = static_cast<std::size_t>(to - from);
        m_carry.append(from, n < room ? n : room);
        line(m_carry, m_carryComplete && n <= room);
        m_carry.clear();
        m_carryComplete = true;
    };
    while (p < end) {
        const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        const char* const segEnd = nl ? nl : end;
        bool brokeAtCr = false;
        while (const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(segEnd - p)))) {
            emit(p, cr);
            p = cr + 1;
            if (p == segEnd) {
                brokeAtCr = true;
                break;
            }
        }
        if (nl) {
            if (!brokeAtCr)
                emit(p, nl);
            p = nl + 1;
            continue;
        }
        if (brokeAtCr) {
            m_skipLf = true;
            return;
        }
        const auto n = static_cast<std::size_t>(end - p);
        const std::size_t room = kKeptLineBytes - m_carry.size();
        m_carry.append(p, n < room ? n : room);
        if (n > room)
            m_carryComplete = false;
        return;
    }
}

void LogScanner::line(std::string_view text, bool complete)
{
    ++m_scan.lines;
    if (m_firstLine) {
        m_firstLine = false;
        if (text.starts_with(kUtf8Bom))
            text.remove_prefix(kUtf8Bom.size());
        else if (text.starts_with(kBomAs1250))
            text.remove_prefix(kBomAs1250.size());
    }
    const LogLine l = classifyLine(text, complete);
    switch (l.kind) {
    case LineKind::Timed:
        timed(l);
        break;
    case LineKind::Start:
        start(l);
        break;
    case LineKind::Unreadable:
        ++m_scan.unreadable;
        break;
    case LineKind::Untimed:
        break;
    }
}

void LogScanner::start(const LogLine& l)
{
    closeRun();
    m_day = dayFromDate(l.year, l.month, l.day);
    m_lastTimeMs = l.timeMs;
    Run run;
    run.startMs = std::int64_t{m_day} * kMsPerDay + l.timeMs;
    run.endMs = run.startMs;
    m_run = std::move(run);
    day(m_run->startMs).starts = 1;
}

void LogScanner::timed(const LogLine& l)
{
    if (!m_run) {
        ++m_noStartLines;
        return;
    }
    if (l.timeMs < m_lastTimeMs)
        ++m_day;
    m_lastTimeMs = l.timeMs;
    const std::int64_t at = std::int64_t{m_day} * kMsPerDay + l.timeMs;
    m_run->endMs = at;
    switch (l.event) {
    case LineEvent::None:
        return;
    case LineEvent::Stall:
        ++day(at).stalls;
        return;
    case LineEvent::Kill:
        ++day(at).kills;
        m_routerUp = false;
        openOutage(at);
        return;
    case LineEvent::Attempt:
        if (m_attemptMs)
            ++day(*m_attemptMs).launchFailures;
        m_attemptMs = at;
        // Gone without being ended: the router crashed (or someone else
        // ended it) since this run started it.
        if (m_routerUp) {
            ++day(at).crashes;
            m_routerUp = false;
            openOutage(at);
        }
        return;
    case LineEvent::Launched:
        ++day(at).launches;
        m_attemptMs.reset();
        m_routerUp = true;
        closeOutage(at);
        return;
    case LineEvent::MissingExe:
        ++day(at).missingExe;
        return;
    case LineEvent::Closing:
        m_run->closed = true;
        return;
    }
}

void LogScanner::openOutage(std::int64_t atMs)
{
    if (!m_outageFromMs)
        m_outageFromMs = atMs;
}

void LogScanner::closeOutage(std::int64_t atMs)
{
    if (!m_outageFromMs)
        return;
    const std::int64_t from = *m_outageFromMs;
    m_outageFromMs.reset();
    if (atMs - from > m_run->longestOutageMs) {
        m_run->longestOutageMs = atMs - from;
        m_run->longestOutageFromMs = from;
    }
    // Split at each midnight, so that every day carries its own share.
    for (std::int64_t t = from; t < atMs;) {
        const std::int64_t midnight = (std::int64_t{dayOf(t)} + 1) * kMsPerDay;
        const std::int64_t to = midnight < atMs ? midnight : atMs;
        day(t).downtimeMs += to - t;
        t = to;
    }
}

void LogScanner::closeRun()
{
    if (!m_run)
        return;
    if (m_attemptMs)
        ++day(*m_attemptMs).launchFailures;
    closeOutage(m_run->endMs);
    m_scan.runs.push_back(std::move(*m_run));
    m_run.reset();
    m_routerUp = false;
    m_attemptMs.reset();
    m_outageFromMs.reset();
}

FileScan LogScanner::finish()
{
    if (!m_carry.empty() || !m_carryComplete) {
        line(m_carry, m_carryComplete);
        m_carry.clear();
        m_carryComplete = true;
    }
    closeRun();
    if (m_noStartLines > 0) {
        Undated u;
        u.reason = Undated::Reason::NoStart;
        u.file = m_fileName;
        u.lines = m_noStartLines;
        m_scan.undated.push_back(u);
    }
    // The file was last written in its own month, so its last line lies in
    // it; when the dating says otherwise, a day or more passed unseen.
    if (m_fileMonth && !m_scan.runs.empty()) {
        const Run& last = m_scan.runs.back();
        if (monthOfDay(dayOf(last.endMs)) != *m_fileMonth) {
            Undated u;
            u.reason = Undated::Reason::Month;
            u.file = m_fileName;
            u.fromMs = last.startMs;
            u.toMs = last.endMs;
            m_scan.undated.push_back(u);
        }
    }
    return std::move(m_scan);
}

}  // namespace ovin::report
