#pragma once

#include "controls/qt/Spin.h"
#include "controls/qt/SystemBeep.h"

#include <QPointer>
#include <QTest>
#include <QWidget>

#include <vector>

namespace ovin::test {

class FakeClock;

/// A repeat timer that runs on a FakeClock instead of real time.
class FakeRepeatTimer final : public RepeatTimer {
public:
    FakeRepeatTimer(QObject* parent, FakeClock& clock)
        : RepeatTimer(parent)
        , m_clock(clock)
    {
    }

    void setInterval(int intervalMs) override;
    int interval() const override { return m_intervalMs; }
    void setEnabled(bool enabled) override;
    bool isEnabled() const override { return m_enabled; }

    qint64 dueMs() const { return m_dueMs; }
    void fire();

private:
    FakeClock& m_clock;
    int m_intervalMs = 0;
    qint64 m_dueMs = 0;
    bool m_enabled = false;
};

/// While it lives, buttons get fake repeat timers that fire only when the clock is advanced.
class FakeClock final {
public:
    FakeClock()
        : m_previous(TTimerSpeedButton::setRepeatTimerFactory([this](QObject* parent) {
            auto* timer = new FakeRepeatTimer(parent, *this);
            m_timers.emplace_back(timer);
            return timer;
        }))
    {
    }
    ~FakeClock() { TTimerSpeedButton::setRepeatTimerFactory(m_previous); }
    Q_DISABLE_COPY_MOVE(FakeClock)

    qint64 nowMs() const { return m_nowMs; }

    /// Moves time on, firing every timer that falls due on the way, in order.
    void advance(int ms)
    {
        const qint64 untilMs = m_nowMs + ms;
        for (;;) {
            FakeRepeatTimer* next = nullptr;
            for (const QPointer<FakeRepeatTimer>& timer : m_timers) {
                if (timer && timer->isEnabled() && timer->dueMs() <= untilMs
                    && (!next || timer->dueMs() < next->dueMs()))
                    next = timer;
            }
            if (!next)
                break;
            m_nowMs = next->dueMs();
            next->fire();
        }
        m_nowMs = untilMs;
    }

private:
    RepeatTimerFactory m_previous;
    std::vector<QPointer<FakeRepeatTimer>> m_timers;
    qint64 m_nowMs = 0;
};

inline void FakeRepeatTimer::setInterval(int intervalMs)
{
    m_intervalMs = intervalMs;
    if (m_enabled)
        m_dueMs = m_clock.nowMs() + intervalMs;
}

inline void FakeRepeatTimer::setEnabled(bool enabled)
{
    if (enabled && !m_enabled)
        m_dueMs = m_clock.nowMs() + m_intervalMs;
    m_enabled = enabled;
}

inline void FakeRepeatTimer::fire()
{
    m_dueMs = m_clock.nowMs() + m_intervalMs;
    emit Timer();
}

/// Counts the beeps instead of sounding them, while it lives.
class BeepCounter final {
public:
    BeepCounter()
        : m_previous(setBeepHandler([this] { ++m_count; }))
    {
    }
    ~BeepCounter() { setBeepHandler(m_previous); }
    Q_DISABLE_COPY_MOVE(BeepCounter)

    int count() const { return m_count; }

private:
    BeepHandler m_previous;
    int m_count = 0;
};

/// Shows the window and waits until it is active, so that focus changes reach the controls as they do for the
/// user.
[[nodiscard]] inline bool showActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window, 5000);
}

} // namespace ovin::test
