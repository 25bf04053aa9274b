#pragma once

#include <cstdint>
#include <map>

#include "Calendar.h"
#include "Figures.h"

namespace ovin::report {

/// One run of the watchdog, from its START line to its last line, as one
/// month file holds it. The same run can be held by two files (a run over
/// the turn of a month); the longer copy is the one that counts.
struct Run {
    std::int64_t startMs = 0;  ///< the START stamp, local milliseconds
    std::int64_t endMs = 0;    ///< the last timed line, or the START stamp
    bool closed = false;       ///< a "UKONCENI PROGRAMU" was written
    /// The events of the run by the day they happened on; watched and
    /// unwatched time are left to the machine's view, where runs meet.
    std::map<DayNumber, Figures> days;
    std::int64_t longestOutageMs = 0;
    std::int64_t longestOutageFromMs = 0;
};

}  // namespace ovin::report
