#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Calendar.h"
#include "Figures.h"
#include "LogScanner.h"

namespace ovin::report {

/// The days a report covers; an open end is the first or last day the logs
/// speak of.
struct Period {
    std::optional<DayNumber> from;
    std::optional<DayNumber> to;

    bool contains(DayNumber d) const { return (!from || d >= *from) && (!to || d <= *to); }
};

struct DayRow {
    DayNumber day = 0;
    Figures figures;
};

/// Everything the report says about one machine: the logs of one folder.
struct MachineReport {
    std::string name;
    std::vector<DayRow> days;
    Figures totals;
    std::int64_t longestOutageMs = 0;
    std::int64_t longestOutageFromMs = 0;
    std::vector<Undated> undated;
    std::int64_t lines = 0;
    std::int64_t unreadable = 0;
    /// Files that gave something; a machine without any has no report.
    int filesRead = 0;
};

/// Puts the month files of one machine together: a run held by two files
/// counts once (its longer copy), watched time is the runs' own, unwatched
/// time lies between the end of one run and the START of the next, and every
/// day of the period gets a row.
MachineReport summarizeMachine(std::string name, std::vector<FileScan> scans, const Period& period);

}  // namespace ovin::report
