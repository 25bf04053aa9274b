#pragma once

#include <functional>

namespace ovin {

/// What the controls do to tell the user that an input was refused.
using BeepHandler = std::function<void()>;

/// Sounds the default system beep, or calls the handler installed by setBeepHandler.
void systemBeep();

/// Replaces the beep, so that tests can count refusals; an empty handler restores the system beep.
/// Returns the handler that was installed before.
BeepHandler setBeepHandler(BeepHandler handler);

} // namespace ovin
