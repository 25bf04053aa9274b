#pragma once

#include <cstdint>
#include <optional>

namespace ovin::report {

/// What happened on one day, or in a whole period.
struct Figures {
    std::int64_t starts = 0;
    std::int64_t stalls = 0;
    std::int64_t kills = 0;
    std::int64_t launches = 0;
    std::int64_t launchFailures = 0;
    std::int64_t missingExe = 0;
    std::int64_t crashes = 0;
    std::int64_t downtimeMs = 0;
    std::int64_t unwatchedMs = 0;
    std::int64_t watchedMs = 0;

    Figures& operator+=(const Figures& o)
    {
        starts += o.starts;
        stalls += o.stalls;
        kills += o.kills;
        launches += o.launches;
        launchFailures += o.launchFailures;
        missingExe += o.missingExe;
        crashes += o.crashes;
        downtimeMs += o.downtimeMs;
        unwatchedMs += o.unwatchedMs;
        watchedMs += o.watchedMs;
        return *this;
    }

    /// The share of the watched time in which the router was not down, in
    /// per cent; nothing when nothing was watched.
    std::optional<double> availability() const
    {
        if (watchedMs <= 0)
            return std::nullopt;
        const std::int64_t up = watchedMs > downtimeMs ? watchedMs - downtimeMs : 0;
        return 100.0 * static_cast<double>(up) / static_cast<double>(watchedMs);
    }

    bool operator==(const Figures&) const = default;
};

}  // namespace ovin::report
