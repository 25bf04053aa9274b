#pragma once

#include "platform/MachineName.h"

namespace ovin {

class Win32MachineName final : public MachineName {
public:
    std::string machineName() const override;
};

}  // namespace ovin
