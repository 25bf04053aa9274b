#pragma once

#include <string>
#include <string_view>

#include "platform/Result.h"

namespace ovin {

/// Puts whole files in place for readers in other processes (a metrics
/// exporter), so that a reader sees the old file or the new one, never a
/// part. Called from a worker thread: an implementation keeps no state
/// between calls.
class FilePublisher {
public:
    virtual ~FilePublisher() = default;

    /// Succeeds when `folder` is an existing folder in which this program can
    /// create files; otherwise the system's reason.
    virtual Result checkFolder(const std::string& folder) const = 0;

    /// Writes `bytes` as they are (no code page, no line break conversion) to
    /// a file beside `path` and renames it over `path`. A reader that holds
    /// `path` open delays the rename for a moment, never for long.
    virtual Result publish(const std::string& path, std::string_view bytes) = 0;
};

}  // namespace ovin
