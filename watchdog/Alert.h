#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ovin {

/// What one alert tells the operator, whichever way it goes out (the
/// command's environment, the web hook's JSON).
struct Alert {
    std::string event;    ///< the stable English name: "stall", "crash", …
    std::string machine;  ///< the machine's name
    std::string folder;   ///< the program's folder
    std::string time;     ///< ISO 8601, local time with its offset
    std::string line;     ///< the log line that caused it, without its time stamp
    int stallCount = 0;
    int stallLimit = 0;
    int stallsToday = 0;
    int crashesToday = 0;
    std::optional<std::int64_t> downtimeMs;  ///< how long the router was down ("recovered")
    std::optional<std::string> nextAttempt;  ///< when the paused restart comes ("crashloop"), as `time`
    int heldBack = 0;                        ///< alerts of this kind held back since the last one that went
    std::vector<std::string> logTail;        ///< the log's last lines, for the kinds that carry them
};

}  // namespace ovin
