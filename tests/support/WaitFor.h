#pragma once

#include <chrono>
#include <functional>

namespace ovin::test {

/// Polls `condition` every `poll` until it holds or `timeout` has passed; true when it held. The condition is
/// asked once more at the end, so a slow machine never fails a wait that was met just in time.
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
             std::chrono::milliseconds poll = std::chrono::milliseconds(50));

}  // namespace ovin::test
