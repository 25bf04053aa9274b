#pragma once

#include "platform/ProcessControl.h"

namespace ovin {

class Win32ProcessControl final : public ProcessControl {
public:
    Result setOwnPriorityClass(PriorityClass cls) override;
    std::string executablePath() const override;
};

}  // namespace ovin
