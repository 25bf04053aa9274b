#pragma once

#include "controls/qt/Spin.h"
#include "support/Fakes.h"

#include <QPointer>
#include <QTest>
#include <QWidget>

#include <vector>

namespace ovin::test {

using FakeClockBase = ovin::test::FakeClock;

/// The auto-repeat on the fake clock of the watch cycle's tests: timers of the controls it is attached to fire
/// only when the clock is advanced.
class RepeatClock final {
public:
    RepeatClock() = default;
    Q_DISABLE_COPY_MOVE(RepeatClock)

    qint64 nowMs() const { return m_clock.ms() - m_startMs; }

    /// Moves time on, firing every timer that falls due on the way, in order.
    void advance(int ms) { m_loop.runFor(ms); }

    TimerFactory factory()
    {
        return [this] { return m_loop.makeTimer(); };
    }

    /// Gives the control's arrows their timers from this clock; returns the control.
    template <typename Control>
    Control& attach(Control& control)
    {
        control.setTimerFactory(factory());
        return control;
    }

private:
    FakeClockBase m_clock;
    FakeEventLoop m_loop{m_clock};
    qint64 m_startMs = m_clock.ms();
};

/// Counts the beeps of the spin edits it is attached to instead of sounding them.
class BeepCounter final {
public:
    BeepCounter() = default;
    Q_DISABLE_COPY_MOVE(BeepCounter)

    int count() const { return m_count; }

    /// Returns the edit.
    template <typename Edit>
    Edit& attach(Edit& edit)
    {
        edit.setBeep([this] { ++m_count; });
        return edit;
    }

private:
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

}  // namespace ovin::test
