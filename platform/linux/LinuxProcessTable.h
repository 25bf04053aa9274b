#pragma once

#include "platform/ProcessTable.h"

namespace ovin {

class LinuxProcessTable final : public ProcessTable {
public:
    std::vector<ProcessEntry> snapshot() const override;
    Result terminate(const ProcessEntry& entry) override;
};

}  // namespace ovin
