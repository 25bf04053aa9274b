#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"

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

/// What ending every process of one name came to.
struct TerminateOutcome {
    int ended = 0;
    int refused = 0;
    std::string firstError;  ///< the system's reason for the first refusal
};

/// Ends every process whose image name, or its file-name part, is `name`
/// (ASCII letters compared without case). A refusal does not stop the
/// others from being ended; the outcome counts both.
TerminateOutcome TerminateProcessByName(ProcessTable& table, std::string_view name);

/// The low 32 bits of the entry's size as a signed number, or -1.
std::int32_t FileSizeOf(const FileSystem& files, const std::string& path);

/// Deletes a file even when it is read-only; false when it was not there or
/// could not be deleted.
bool ForceDeleteFile(FileSystem& files, const std::string& path);

/// The part of a name after its last "\", ":" or "/"; the whole name when it
/// has none of them.
std::string_view FileNamePart(std::string_view name);

/// Lower-cases UTF-8 text: ASCII and the Latin-1 and Latin Extended-A
/// letters (every letter of the Central European code page). Other
/// characters and bytes that are not valid UTF-8 stay as they are.
std::string LowerCase(std::string_view text);

/// The lines of a text: a line ends at CR, LF or CR LF, a last line without
/// a break counts, an empty text has none.
std::vector<std::string> SplitLines(std::string_view text);

/// A packed MS-DOS date stamp as local date and time, or nothing when it
/// holds no valid date (as -1, the stamp of a missing file, does not).
std::optional<LocalTime> DateStampToLocalTime(std::int32_t stamp);

/// The short date and long time of the log, e.g. "6.12.2026 23:56:12".
std::string DateTimeText(const LocalTime& t);

}  // namespace ovin
