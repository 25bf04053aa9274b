#include "ProcessOps.h"

#include "platform/FileSystem.h"
#include "platform/ProcessTable.h"

namespace ovin {

std::string GetProcessNames(const ProcessTable&) { return {}; }

bool IsProcessRunning(const ProcessTable&, std::string_view) { return false; }

int CountProcesses(const ProcessTable&, std::string_view) { return 0; }

void TerminateProcessByName(ProcessTable&, std::string_view) {}

std::int32_t FileSizeOf(const FileSystem&, const std::string&) { return -1; }

bool ForceDeleteFile(FileSystem&, const std::string&) { return false; }

}  // namespace ovin
