#pragma once

#include "platform/Launcher.h"

namespace ovin {

/// The shell's verb "open" on the executable, as Explorer would start it.
class Win32Launcher final : public Launcher {
public:
    Result open(const std::string& executable, const std::string& workingFolder) override;
};

}  // namespace ovin
