#pragma once

#include <cstdint>
#include <string>

#include "platform/InstanceBlock.h"

namespace ovin {

/// The instance block as a shared-memory file of the user. Such a file
/// outlives its processes, so every holder keeps a shared lock on it: a start
/// that can lock it alone knows every earlier holder has ended (also by a
/// crash) and takes the block as new.
class LinuxInstanceBlock final : public InstanceBlock {
public:
    explicit LinuxInstanceBlock(std::string key);
    ~LinuxInstanceBlock() override;
    LinuxInstanceBlock(const LinuxInstanceBlock&) = delete;
    LinuxInstanceBlock& operator=(const LinuxInstanceBlock&) = delete;

    bool createOrOpen() override;
    std::int32_t window() const override;
    void setWindow(std::int32_t window) override;
    std::int32_t count() const override;
    void setCount(std::int32_t count) override;
    void close() override;
    std::string handOverName() const override;

    /// The shared-memory name in use (after createOrOpen).
    const std::string& name() const { return m_name; }

private:
    std::int32_t* field(std::size_t offset) const;

    std::string m_base;
    std::string m_name;
    int m_fd = -1;
    void* m_view = nullptr;
    // Where the fields live when every name was another user's: the start
    // then runs with a block nobody else sees.
    std::int32_t m_private[2] = {0, 0};
};

}  // namespace ovin
