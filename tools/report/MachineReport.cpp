#include "MachineReport.h"

#include <algorithm>
#include <map>

namespace ovin::report {

namespace {

using DayMap = std::map<DayNumber, Figures>;

void addSpan(DayMap& days, std::int64_t from, std::int64_t to, std::int64_t Figures::*field)
{
    for (std::int64_t t = from; t < to;) {
        const DayNumber d = dayOf(t);
        const std::int64_t midnight = (std::int64_t{d} + 1) * kMsPerDay;
        const std::int64_t stop = std::min(midnight, to);
        days[d].*field += stop - t;
        t = stop;
    }
}

}  // namespace

MachineReport summarizeMachine(std::string name, std::vector<FileScan> scans, const Period& period)
{
    MachineReport report;
    report.name = std::move(name);

    // One run, however many files hold it: each save wrote the whole log, so
    // the copy that reaches furthest holds every other copy.
    std::map<std::int64_t, Run> runs;
    for (FileScan& scan : scans) {
        report.lines += scan.lines;
        report.unreadable += scan.unreadable;
        for (Undated& u : scan.undated)
            report.undated.push_back(std::move(u));
        for (Run& run : scan.runs) {
            auto [it, added] = runs.try_emplace(run.startMs, std::move(run));
            if (!added && run.endMs > it->second.endMs)
                it->second = std::move(run);
        }
    }

    DayMap days;
    const Run* previous = nullptr;
    for (const auto& [startMs, run] : runs) {
        if (previous) {
            if (previous->endMs > startMs) {
                Undated u;
                u.reason = Undated::Reason::Overlap;
                u.fromMs = previous->startMs;
                u.toMs = previous->endMs;
                report.undated.push_back(u);
            } else {
                addSpan(days, previous->endMs, startMs, &Figures::unwatchedMs);
            }
        }
        addSpan(days, run.startMs, run.endMs, &Figures::watchedMs);
        for (const auto& [d, f] : run.days)
            days[d] += f;
        if (run.longestOutageMs > report.longestOutageMs && period.contains(dayOf(run.longestOutageFromMs))) {
            report.longestOutageMs = run.longestOutageMs;
            report.longestOutageFromMs = run.longestOutageFromMs;
        }
        previous = &run;
    }

    if (days.empty() && !period.from)
        return report;
    const DayNumber first = period.from ? *period.from : days.begin()->first;
    const DayNumber last = period.to ? *period.to : (days.empty() ? first : days.rbegin()->first);
    for (DayNumber d = first; d <= last; ++d) {
        DayRow row;
        row.day = d;
        if (const auto it = days.find(d); it != days.end())
            row.figures = it->second;
        report.totals += row.figures;
        report.days.push_back(row);
    }
    return report;
}

}  // namespace ovin::report
