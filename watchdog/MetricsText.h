#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace ovin {

class RouterRecord;

/// The values of the metrics file at one moment, taken from the router's
/// record.
struct MetricsSnapshot {
    bool routerUp = false;
    std::int64_t stalls = 0;
    std::int64_t kills = 0;
    std::int64_t launches = 0;
    std::int64_t launchFailures = 0;
    std::int64_t crashes = 0;
    std::int64_t downtimeMs = 0;
    /// When the open outage began; while one is open the downtime grows by itself.
    std::optional<std::int64_t> outageSinceUnixMs;
    int stallCount = 0;
    int stallLimit = 0;
    std::optional<std::int64_t> requestFileUnixSeconds;
    std::int64_t lastLaunchUnixMs = 0;
    std::int64_t startUnixMs = 0;
    std::int64_t lastTickUnixMs = 0;
    bool inCrashLoop = false;
    std::int64_t nextAttemptUnixMs = 0;

    static MetricsSnapshot of(const RouterRecord& record);

    /// True when a scrape would learn something new: every value but those
    /// that move by themselves (the last tick, the downtime of an outage
    /// still open) differs.
    bool differsFrom(const MetricsSnapshot& other) const;
};

/// What names this watchdog among many: its version and its folder.
struct MetricsIdentity {
    std::string version;
    std::string folder;
};

/// The metrics in the Prometheus text format: one HELP and one TYPE line per
/// name, LF line breaks, a line break at the end.
std::string MetricsText(const MetricsSnapshot& values, const MetricsIdentity& identity);

/// A label value as the text format wants it: backslash, double quote and
/// line feed escaped.
std::string EscapeLabelValue(std::string_view value);

}  // namespace ovin
