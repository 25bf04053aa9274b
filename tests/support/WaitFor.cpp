#include "WaitFor.h"

#include <thread>

namespace ovin::test {

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout, std::chrono::milliseconds poll)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return condition();
        std::this_thread::sleep_for(poll);
    }
}

}  // namespace ovin::test
