#pragma once

#include "platform/Launcher.h"

namespace ovin {

class LinuxLauncher final : public Launcher {
public:
    Result open(const std::string& executable, const std::string& workingFolder) override;
};

}  // namespace ovin
