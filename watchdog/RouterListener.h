#pragma once

namespace ovin {

struct RouterEvent;
class RouterRecord;

/// Whoever reports the router's history beyond the log (metrics, the
/// system log, alerts) or acts on it (the restart pause).
class RouterListener {
public:
    virtual ~RouterListener() = default;

    /// Called on the watch cycle's thread right after the event's line was
    /// logged, with the record that already counts the event. Must neither
    /// block nor throw: a slow disk or network belongs on a worker of the
    /// listener's own.
    virtual void routerEvent(const RouterEvent& event, const RouterRecord& record) = 0;
};

}  // namespace ovin
