#pragma once

#include "platform/MachineName.h"

namespace ovin {

class LinuxMachineName final : public MachineName {
public:
    std::string machineName() const override;
};

}  // namespace ovin
