#include "AlertRate.h"

namespace ovin {

std::optional<int> AlertRate::admit(const std::string& kind, std::int64_t nowMs, int periodMinutes)
{
    const auto it = m_kinds.find(kind);
    if (it != m_kinds.end()) {
        const std::int64_t since = nowMs - it->second.lastSentMs;
        // A clock set back is no reason to keep quiet until it has caught up again.
        if (since >= 0 && since < std::int64_t{periodMinutes} * 60000) {
            ++it->second.heldBack;
            return std::nullopt;
        }
    }
    Kind& k = m_kinds[kind];
    const int held = k.heldBack;
    k = {nowMs, 0};
    return held;
}

}  // namespace ovin
