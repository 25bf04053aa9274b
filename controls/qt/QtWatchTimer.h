#pragma once

#include <QTimer>

#include <memory>

#include "watchdog/WatchTimer.h"

namespace ovin {

/// A watch-cycle timer on Qt's event loop.
class QtWatchTimer final : public WatchTimer {
public:
    QtWatchTimer();

    void setInterval(int ms) override;
    int interval() const override { return m_timer->interval(); }
    void setEnabled(bool on) override;
    bool enabled() const override { return m_timer->isActive(); }
    void setOnTimer(std::function<void()> handler) override { m_handler = std::move(handler); }

private:
    // Owned here rather than by a Qt parent: its handler points back at this.
    std::unique_ptr<QTimer> m_timer;
    std::function<void()> m_handler;
};

}  // namespace ovin
