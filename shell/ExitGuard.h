#pragma once

#include <functional>

namespace ovin {

/// Runs the last steps of a run also when the process is ended by exit() from
/// inside the event loop, where no destructor of the run's objects runs: the
/// windowing system's library ends the program that way when its connection
/// to the display breaks (the X server killed, a Wayland compositor gone, a
/// session ended by a desktop without a session manager). One at a time per
/// process; the steps run at most once.
class ExitGuard final {
public:
    explicit ExitGuard(std::function<void()> lastSteps);
    /// The run ended in order: the steps are not run.
    ~ExitGuard();
    ExitGuard(const ExitGuard&) = delete;
    ExitGuard& operator=(const ExitGuard&) = delete;

private:
    static void runAtExit();

    std::function<void()> m_lastSteps;
};

}  // namespace ovin
