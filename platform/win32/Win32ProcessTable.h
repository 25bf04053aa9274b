#pragma once

#include <string>

#include "platform/ProcessTable.h"

namespace ovin {

/// The Toolhelp snapshot of the system's processes. A process of this
/// program's own image name that stands aside at the start gate is listed
/// as "~" followed by its name.
class Win32ProcessTable final : public ProcessTable {
public:
    Win32ProcessTable();
    std::vector<ProcessEntry> snapshot() const override;
    Result terminate(const ProcessEntry& entry) override;

private:
    std::wstring m_ownImageName;
};

}  // namespace ovin
