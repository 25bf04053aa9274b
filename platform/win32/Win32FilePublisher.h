#pragma once

#include "platform/FilePublisher.h"

namespace ovin {

/// Writes beside the target and moves it over the target with
/// MoveFileExW(MOVEFILE_REPLACE_EXISTING). An exporter that reads the old
/// file at that moment keeps it open without delete sharing, so the move is
/// tried again for a short while.
class Win32FilePublisher final : public FilePublisher {
public:
    Result checkFolder(const std::string& folder) const override;
    Result publish(const std::string& path, std::string_view bytes) override;
};

}  // namespace ovin
