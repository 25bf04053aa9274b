#pragma once

#include <functional>
#include <memory>

namespace ovin {

class WatchTimer;

/// Makes a timer of the user-interface thread; the watch cycle's timers and the auto-repeat share this kind.
using TimerFactory = std::function<std::unique_ptr<WatchTimer>()>;

/// The auto-repeat rhythm of an arrow button (`TTimerSpeedButton`): a press starts the timer at 400 ms, its
/// first tick sets it to 100 ms, every tick clicks while the button shows itself pressed and holds the mouse,
/// and the release stops it. The click of the release itself is the front end's ordinary button click.
class AutoRepeat final {
public:
    static constexpr int kFirstRepeatMs = 400;
    static constexpr int kNextRepeatMs = 100;

    /// `factory` makes the timer on the first press that needs it; `click` is the button's click; `held` tells
    /// whether the button shows itself pressed and holds the mouse (a held button whose pointer left it is not
    /// shown pressed, which pauses the repeat).
    AutoRepeat(TimerFactory factory, std::function<void()> click, std::function<bool()> held);
    ~AutoRepeat();
    AutoRepeat(const AutoRepeat&) = delete;
    AutoRepeat& operator=(const AutoRepeat&) = delete;

    /// Takes another way to make the timer; a timer made already stays.
    void setTimerFactory(TimerFactory factory) { m_factory = std::move(factory); }

    /// Whether the button repeats at all (the auto-repeat flag).
    void setEnabled(bool on) { m_enabled = on; }

    /// A mouse button went down on the button (after the button's own handling).
    void press();
    /// A mouse button went up (after the button's own handling, which clicks on a release over it).
    void release();
    /// The timer, or null before the first press that needed it.
    WatchTimer* timer() const { return m_timer.get(); }

private:
    void tick();

    TimerFactory m_factory;
    std::function<void()> m_click;
    std::function<bool()> m_held;
    std::unique_ptr<WatchTimer> m_timer;
    bool m_enabled = false;
};

}  // namespace ovin
