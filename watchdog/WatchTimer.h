#pragma once

#include <functional>

namespace ovin {

/// A timer of the user-interface thread, as the watch cycle drives it.
class WatchTimer {
public:
    virtual ~WatchTimer() = default;

    /// Sets the period. A period of 0 or below fires as soon as pending events
    /// are processed. Changing the period of a running timer restarts its
    /// countdown.
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;

    /// Switching on starts the countdown afresh; switching on a timer that is
    /// already on changes nothing.
    virtual void setEnabled(bool on) = 0;
    virtual bool enabled() const = 0;

    /// What runs on each firing.
    virtual void setOnTimer(std::function<void()> handler) = 0;
};

}  // namespace ovin
