#pragma once

#include <string_view>

#include "settings/EventLog.h"

namespace ovin {

/// Logs a line, then tells what it is about (to the router's record). The
/// telling happens even when the month file could not be saved: the line
/// stands in the log all the same, and the save's error goes on as before.
template <typename Tell>
void LogAndTell(EventLog& log, std::string_view message, LineSeverity severity, Tell&& tell)
{
    try {
        log.AddLogLine(message, severity);
    } catch (...) {
        tell();
        throw;
    }
    tell();
}

}  // namespace ovin
