#include "controls/win32/Win32WatchTimer.h"

#include <map>

namespace ovin {

namespace {

// A thread timer reports only its id: this finds the object behind it. Timers live on the one user-interface
// thread, so no lock is needed.
std::map<UINT_PTR, Win32WatchTimer*>& liveTimers()
{
    static std::map<UINT_PTR, Win32WatchTimer*> timers;
    return timers;
}

}  // namespace

Win32WatchTimer::~Win32WatchTimer() { stop(); }

void Win32WatchTimer::setInterval(int ms)
{
    m_interval = ms > 0 ? ms : 0;
    if (m_id != 0) {
        stop();
        start();
    }
}

void Win32WatchTimer::setEnabled(bool on)
{
    if (on && m_id == 0)
        start();
    else if (!on)
        stop();
}

void Win32WatchTimer::start()
{
    // A period of 0 fires as soon as the queue is empty: the system's shortest period does that.
    m_id = SetTimer(nullptr, 0, static_cast<UINT>(m_interval > 0 ? m_interval : USER_TIMER_MINIMUM), &fired);
    if (m_id != 0)
        liveTimers()[m_id] = this;
}

void Win32WatchTimer::stop()
{
    if (m_id == 0)
        return;
    KillTimer(nullptr, m_id);
    liveTimers().erase(m_id);
    m_id = 0;
}

void CALLBACK Win32WatchTimer::fired(HWND, UINT, UINT_PTR id, DWORD)
{
    const auto it = liveTimers().find(id);
    if (it == liveTimers().end())
        return;
    // A copy: the handler may replace itself or end the timer.
    const std::function<void()> handler = it->second->m_handler;
    if (handler)
        handler();
}

}  // namespace ovin
