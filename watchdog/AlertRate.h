#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace ovin {

/// The rate rule of alerts: one kind at most once a period; what was held
/// back meanwhile is counted and told with the next alert of that kind.
class AlertRate {
public:
    /// Whether an alert of `kind` goes out at `nowMs` (the world's clock) when
    /// the period is `periodMinutes` (0: every one). When it goes, the answer
    /// is how many of its kind were held back since the last one that went.
    std::optional<int> admit(const std::string& kind, std::int64_t nowMs, int periodMinutes);

private:
    struct Kind {
        std::int64_t lastSentMs = 0;
        int heldBack = 0;
    };
    std::map<std::string, Kind> m_kinds;
};

}  // namespace ovin
