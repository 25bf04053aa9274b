#pragma once

#include "platform/FilePublisher.h"

namespace ovin {

/// Writes beside the target and renames over it: rename(2) replaces the
/// directory entry in one step, and a reader keeps the file it opened.
class LinuxFilePublisher final : public FilePublisher {
public:
    Result checkFolder(const std::string& folder) const override;
    Result publish(const std::string& path, std::string_view bytes) override;
};

}  // namespace ovin
