#include "ExitGuard.h"

#include <cstdlib>
#include <utility>

namespace ovin {

namespace {

// The guard of the run in progress. A plain pointer: the guard itself lives
// on the stack of the run, which exit() leaves standing.
ExitGuard* g_armed = nullptr;
bool g_registered = false;

}  // namespace

ExitGuard::ExitGuard(std::function<void()> lastSteps) : m_lastSteps(std::move(lastSteps))
{
    // Registered now, after everything the steps use was made, so that the
    // steps run before the destructors of those of it that are static.
    if (!g_registered)
        g_registered = std::atexit(&ExitGuard::runAtExit) == 0;
    g_armed = this;
}

ExitGuard::~ExitGuard()
{
    if (g_armed == this)
        g_armed = nullptr;
}

void ExitGuard::runAtExit()
{
    ExitGuard* guard = std::exchange(g_armed, nullptr);
    if (guard && guard->m_lastSteps)
        std::exchange(guard->m_lastSteps, nullptr)();
}

}  // namespace ovin
