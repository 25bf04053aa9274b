#pragma once

namespace ovin {

/// Sounds the default system beep, with which the controls tell the user that an input was refused.
void systemBeep();

}  // namespace ovin
