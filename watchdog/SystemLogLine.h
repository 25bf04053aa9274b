#pragma once

#include <string_view>

#include "platform/SystemLog.h"
#include "settings/EventLog.h"

namespace ovin {

/// The system log's priority of a logged line.
SystemLogLevel SystemLogLevelOf(LineSeverity severity);

/// The kind of a logged line, from its text and how much it matters: a
/// reader of the system log filters on it instead of on the Czech text.
SystemLogEvent SystemLogEventOf(std::string_view message, LineSeverity severity);

}  // namespace ovin
