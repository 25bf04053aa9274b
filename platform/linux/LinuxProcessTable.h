#pragma once

#include "platform/ProcessTable.h"

namespace ovin {

class LinuxProcessTable final : public ProcessTable {
public:
    std::vector<ProcessEntry> snapshot() const override;
    std::vector<ProcessEntry> snapshot(const std::function<bool(std::string_view)>& wanted) const override;
    std::optional<ProcessEntry> findAny(const std::function<bool(std::string_view)>& wanted) const override;
    Result terminate(const ProcessEntry& entry) override;

private:
    // Lists the wanted processes, or stops at the first when `firstOnly`.
    std::vector<ProcessEntry> scan(const std::function<bool(std::string_view)>& wanted, bool firstOnly) const;

    // The process findAny found last; 0 for none.
    mutable std::uint32_t m_lastFound = 0;
};

}  // namespace ovin
