#pragma once

#include <string>

#include "platform/StartGate.h"

namespace ovin {

/// The start gate as a lock on a shared-memory file of the user, keyed by
/// the image name. The lock goes with its process, however that ends. While
/// a start waits or stands aside, its process bears another name ("~" and
/// its own), which is what the process list shows for it.
class LinuxStartGate final : public StartGate {
public:
    explicit LinuxStartGate(std::string_view imageName);
    ~LinuxStartGate() override;
    LinuxStartGate(const LinuxStartGate&) = delete;
    LinuxStartGate& operator=(const LinuxStartGate&) = delete;

    Result enter(std::chrono::milliseconds timeout) override;
    void standAside() override;
    void leave() override;

private:
    void setOwnName(const std::string& name) const;

    std::string m_ownName;
    std::string m_asideName;
    int m_fd = -1;
    int m_openError = 0;
};

}  // namespace ovin
