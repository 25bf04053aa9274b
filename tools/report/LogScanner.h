#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "LogLine.h"
#include "Run.h"

namespace ovin::report {

/// A stretch of a month file that could not be dated for certain.
struct Undated {
    enum class Reason {
        NoStart,  ///< timed lines before any START line of the file
        Overlap,  ///< a run's lines, dated by time alone, reach past the next START
        Month,    ///< a file's last line, dated by time alone, falls outside the file's month
    };
    Reason reason = Reason::NoStart;
    std::string file;
    std::int64_t fromMs = 0;  ///< the run's START (not for NoStart)
    std::int64_t toMs = 0;    ///< where its lines were dated to end (not for NoStart)
    std::int64_t lines = 0;   ///< NoStart: how many lines
};

/// What one month file gave.
struct FileScan {
    std::vector<Run> runs;
    std::vector<Undated> undated;
    std::int64_t lines = 0;
    std::int64_t unreadable = 0;
};

/// Reads the bytes of one month file piece by piece and folds its lines into
/// runs, keeping no more of the text than one line's first bytes: a month file
/// of any size is read in the same small memory.
///
/// A line carries only its time. Its day is the START stamp's day, plus one
/// each time the time goes backwards (past midnight); a stretch of more than
/// a day without a line cannot be seen that way, so the dating is checked
/// against the next START and against the month the file is named after.
class LogScanner {
public:
    /// `fileName` names the file in reports and, when it is a month file's
    /// name, gives the month its last line must lie in.
    explicit LogScanner(std::string fileName);

    LogScanner(const LogScanner&) = delete;
    LogScanner& operator=(const LogScanner&) = delete;

    /// The next bytes of the file, split anywhere.
    void feed(std::string_view bytes);

    /// The end of the file: the last line without a line break is taken too.
    FileScan finish();

    /// The longest stretch of a line that is kept; a longer line is judged by
    /// its start and can be no event.
    static constexpr std::size_t kKeptLineBytes = 512;

private:
    void line(std::string_view text, bool complete);
    void timed(const LogLine& l);
    void start(const LogLine& l);
    void closeRun();
    void openOutage(std::int64_t atMs);
    void closeOutage(std::int64_t atMs);
    Figures& day(std::int64_t atMs) { return m_run->days[dayOf(atMs)]; }

    std::string m_fileName;
    std::optional<int> m_fileMonth;
    FileScan m_scan;

    // The part of a line that a piece of the file ended in.
    std::string m_carry;
    bool m_carryComplete = true;
    bool m_skipLf = false;  // the last piece ended with CR: a LF next is the same break
    bool m_firstLine = true;
    std::int64_t m_noStartLines = 0;

    // The run being read.
    std::optional<Run> m_run;
    DayNumber m_day = 0;
    std::int32_t m_lastTimeMs = 0;
    bool m_routerUp = false;                  // started in this run and not ended since
    std::optional<std::int64_t> m_attemptMs;  // an attempt still without "Trovan spusten"
    std::optional<std::int64_t> m_outageFromMs;
};

}  // namespace ovin::report
