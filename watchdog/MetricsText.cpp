#include "MetricsText.h"

#include <string_view>

#include "RouterRecord.h"

namespace ovin {

namespace {

// Seconds with the milliseconds the record keeps, without trailing zeros.
std::string secondsText(std::int64_t ms)
{
    const bool negative = ms < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(ms) : static_cast<std::uint64_t>(ms);
    // Appended, not "-" + temporary: GCC 12's optimiser sees a false overlap there (-Wrestrict).
    std::string text = negative ? "-" : "";
    text += std::to_string(magnitude / 1000);
    std::uint64_t fraction = magnitude % 1000;
    if (fraction == 0)
        return text;
    std::string digits = std::to_string(fraction);
    digits.insert(0, 3 - digits.size(), '0');
    while (digits.back() == '0')
        digits.pop_back();
    return text + "." + digits;
}

class Writer {
public:
    void family(std::string_view name, std::string_view type, std::string_view help)
    {
        m_text.append("# HELP ").append(name).append(" ").append(help).append("\n");
        m_text.append("# TYPE ").append(name).append(" ").append(type).append("\n");
    }
    void sample(std::string_view name, std::string_view value, std::string_view labels = {})
    {
        m_text.append(name).append(labels).append(" ").append(value).append("\n");
    }
    void gauge(std::string_view name, std::string_view help, std::string_view value)
    {
        family(name, "gauge", help);
        sample(name, value);
    }
    void counter(std::string_view name, std::string_view help, std::string_view value)
    {
        family(name, "counter", help);
        sample(name, value);
    }
    std::string take() { return std::move(m_text); }

private:
    std::string m_text;
};

std::string number(std::int64_t n) { return std::to_string(n); }

}  // namespace

MetricsSnapshot MetricsSnapshot::of(const RouterRecord& record)
{
    MetricsSnapshot s;
    s.routerUp = record.routerUp();
    const RouterCounters& c = record.counters();
    s.stalls = c.stalls;
    s.kills = c.kills;
    s.launches = c.launches;
    s.launchFailures = c.launchFailures;
    s.crashes = c.crashes;
    s.downtimeMs = record.downtimeMs();
    s.outageSinceUnixMs = record.outageSinceUnixMs();
    s.stallCount = record.stallCount();
    s.stallLimit = record.stallLimit();
    s.requestFileUnixSeconds = record.requestFileUnixSeconds();
    s.lastLaunchUnixMs = record.lastLaunchUnixMs();
    s.startUnixMs = record.startUnixMs();
    s.lastTickUnixMs = record.lastTickUnixMs();
    s.inCrashLoop = record.inCrashLoop();
    s.nextAttemptUnixMs = record.nextAttemptUnixMs();
    return s;
}

bool MetricsSnapshot::differsFrom(const MetricsSnapshot& o) const
{
    // An open outage's downtime is left to the regular refresh; its start and end are changes.
    const bool downtimeMoved = !outageSinceUnixMs && !o.outageSinceUnixMs && downtimeMs != o.downtimeMs;
    return routerUp != o.routerUp || stalls != o.stalls || kills != o.kills || launches != o.launches ||
           launchFailures != o.launchFailures || crashes != o.crashes || downtimeMoved ||
           outageSinceUnixMs != o.outageSinceUnixMs || stallCount != o.stallCount || stallLimit != o.stallLimit ||
           requestFileUnixSeconds != o.requestFileUnixSeconds || lastLaunchUnixMs != o.lastLaunchUnixMs ||
           startUnixMs != o.startUnixMs || inCrashLoop != o.inCrashLoop || nextAttemptUnixMs != o.nextAttemptUnixMs;
}

std::string EscapeLabelValue(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (const char c : value) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '"')
            out += "\\\"";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

std::string MetricsText(const MetricsSnapshot& v, const MetricsIdentity& identity)
{
    Writer w;
    w.gauge("ovin_router_up", "1 when a trovan.exe ran at the last tick.", v.routerUp ? "1" : "0");
    w.counter("ovin_router_stalls_total", "Stall limits reached: the request file stayed unchanged too long.",
              number(v.stalls));
    w.counter("ovin_router_kills_total", "Routers ended by the watchdog.", number(v.kills));
    w.counter("ovin_router_launches_total", "Routers started and seen running.", number(v.launches));
    w.counter("ovin_router_launch_failures_total", "Launch attempts after which no router ran.",
              number(v.launchFailures));
    w.counter("ovin_router_crashes_total", "Routers found gone that the watchdog had not ended.", number(v.crashes));
    w.counter("ovin_router_downtime_seconds_total", "Time from a kill or a crash to the next running router.",
              secondsText(v.downtimeMs));
    // Neither "_count" (the suffix of histograms and summaries) nor "counter" (a type) passes the format's lint.
    w.gauge("ovin_router_stall_ticks", "The stall counter now: checks in a row that found the request file unchanged.",
            number(v.stallCount));
    w.gauge("ovin_router_stall_limit", "The stall counter's limit.", number(v.stallLimit));
    if (v.requestFileUnixSeconds)
        w.gauge("ovin_router_request_file_mtime_seconds", "The request file's date stamp as Unix time.",
                number(*v.requestFileUnixSeconds));
    w.gauge("ovin_router_last_launch_timestamp_seconds", "When the router was last started (0: not in this run).",
            secondsText(v.lastLaunchUnixMs));
    w.gauge("ovin_router_crashloop", "1 while restarts of a router that keeps dying are paused.",
            v.inCrashLoop ? "1" : "0");
    if (v.inCrashLoop && v.nextAttemptUnixMs != 0)
        w.gauge("ovin_router_next_launch_timestamp_seconds", "When the paused restart comes.",
                secondsText(v.nextAttemptUnixMs));
    w.gauge("ovin_watchdog_start_time_seconds", "When this watchdog started.", secondsText(v.startUnixMs));
    w.gauge("ovin_watchdog_last_tick_timestamp_seconds", "The watchdog's last tick.", secondsText(v.lastTickUnixMs));
    w.family("ovin_watchdog_info", "gauge", "The watchdog's version and folder.");
    w.sample("ovin_watchdog_info", "1",
             "{version=\"" + EscapeLabelValue(identity.version) + "\",folder=\"" + EscapeLabelValue(identity.folder) +
                 "\"}");
    return w.take();
}

}  // namespace ovin
