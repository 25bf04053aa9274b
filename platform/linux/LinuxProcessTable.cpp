#include "LinuxProcessTable.h"

namespace ovin {

std::vector<ProcessEntry> LinuxProcessTable::snapshot() const { return {}; }

bool LinuxProcessTable::terminate(const ProcessEntry&) { return false; }

}  // namespace ovin
