#include "SystemLogLine.h"

namespace ovin {

namespace {

struct LineRule {
    std::string_view start;  ///< the line begins so
    bool warningOnly;        ///< the kind holds only for a line logged as a warning
    SystemLogEvent event;
};

// The lines the checks log for the router's decisions. The attempt line is a crash only when it was logged as a
// warning: the same words open every attempt.
constexpr LineRule kRules[] = {
    {"Prekrocen limit stari souboru", false, SystemLogEvent::Stall},
    {"Ukoncuji Trovan", false, SystemLogEvent::Kill},
    {"Trovan neni spusten - pokusim se ho spustit", true, SystemLogEvent::Crash},
    {"Nelze spustit Trovan", false, SystemLogEvent::LaunchFailed},
    {"Nelze ukoncit Trovan", false, SystemLogEvent::KillRefused},
    {"Trovan spusten", false, SystemLogEvent::Launched},
};

}  // namespace

SystemLogLevel SystemLogLevelOf(LineSeverity severity)
{
    switch (severity) {
    case LineSeverity::Warning:
        return SystemLogLevel::Warning;
    case LineSeverity::Error:
        return SystemLogLevel::Error;
    case LineSeverity::Info:
        break;
    }
    return SystemLogLevel::Info;
}

SystemLogEvent SystemLogEventOf(std::string_view message, LineSeverity severity)
{
    for (const LineRule& rule : kRules) {
        if (message.starts_with(rule.start) && (!rule.warningOnly || severity == LineSeverity::Warning))
            return rule.event;
    }
    switch (severity) {
    case LineSeverity::Warning:
        return SystemLogEvent::Warning;
    case LineSeverity::Error:
        return SystemLogEvent::Error;
    case LineSeverity::Info:
        break;
    }
    return SystemLogEvent::Line;
}

}  // namespace ovin
