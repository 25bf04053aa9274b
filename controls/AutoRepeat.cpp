#include "controls/AutoRepeat.h"

#include "watchdog/WatchTimer.h"

namespace ovin {

AutoRepeat::AutoRepeat(TimerFactory factory, std::function<void()> click, std::function<bool()> held)
    : m_factory(std::move(factory)), m_click(std::move(click)), m_held(std::move(held))
{
}

AutoRepeat::~AutoRepeat() = default;

void AutoRepeat::press()
{
    if (!m_enabled)
        return;
    if (!m_timer) {
        m_timer = m_factory();
        m_timer->setOnTimer([this] { tick(); });
    }
    m_timer->setInterval(kFirstRepeatMs);
    m_timer->setEnabled(true);
}

void AutoRepeat::release()
{
    if (m_timer)
        m_timer->setEnabled(false);
}

void AutoRepeat::tick()
{
    m_timer->setInterval(kNextRepeatMs);
    if (!m_held())
        return;
    try {
        m_click();
    } catch (...) {
        m_timer->setEnabled(false);
        throw;
    }
}

}  // namespace ovin
