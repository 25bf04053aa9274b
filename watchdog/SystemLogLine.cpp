#include "SystemLogLine.h"

#include "settings/Texts.h"

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
    {texts::kLogLimitReached, false, SystemLogEvent::Stall},
    {texts::kLogEndingRouter, false, SystemLogEvent::Kill},
    {texts::kLogStartingRouter, true, SystemLogEvent::Crash},
    {texts::kLogStartRefused, false, SystemLogEvent::LaunchFailed},
    {texts::kLogEndRefused, false, SystemLogEvent::KillRefused},
    {texts::kLogRouterStarted, false, SystemLogEvent::Launched},
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
