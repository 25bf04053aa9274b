#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ovin {

class FileSystem;
class ProcessTable;

/// The image names of a fresh snapshot, in its order, each followed by CR LF.
std::string GetProcessNames(const ProcessTable& table);

/// True when a running process has the image name of `name` (its file-name
/// part, case and surrounding blanks ignored).
bool IsProcessRunning(const ProcessTable& table, std::string_view name);

/// How many running processes have the image name of `name`.
int CountProcesses(const ProcessTable& table, std::string_view name);

/// Ends every process whose image name, or its file-name part, is `name`
/// (ASCII letters compared without case). Failures are skipped silently.
void TerminateProcessByName(ProcessTable& table, std::string_view name);

/// The low 32 bits of the entry's size as a signed number, or -1.
std::int32_t FileSizeOf(const FileSystem& files, const std::string& path);

/// Deletes a file even when it is read-only; false when it was not there or
/// could not be deleted.
bool ForceDeleteFile(FileSystem& files, const std::string& path);

}  // namespace ovin
