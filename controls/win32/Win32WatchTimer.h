#pragma once

#include <windows.h>

#include <functional>

#include "watchdog/WatchTimer.h"

namespace ovin {

/// A timer of the user-interface thread on SetTimer: it fires from the thread's message loop (and from
/// `ProcessMessages`), so a handler never runs beside another one.
class Win32WatchTimer final : public WatchTimer {
public:
    Win32WatchTimer() = default;
    ~Win32WatchTimer() override;
    Win32WatchTimer(const Win32WatchTimer&) = delete;
    Win32WatchTimer& operator=(const Win32WatchTimer&) = delete;

    void setInterval(int ms) override;
    int interval() const override { return m_interval; }
    void setEnabled(bool on) override;
    bool enabled() const override { return m_id != 0; }
    void setOnTimer(std::function<void()> handler) override { m_handler = std::move(handler); }

private:
    static void CALLBACK fired(HWND, UINT, UINT_PTR id, DWORD);
    void start();
    void stop();

    std::function<void()> m_handler;
    int m_interval = 1000;
    UINT_PTR m_id = 0;
};

}  // namespace ovin
