#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace ovin {

/// The instance block of one executable: 8 bytes shared by every start of it
/// in the same log-on (per user on Linux, per session on Windows), holding
/// the window of the instance admitted last as 32 bits and the number of
/// admitted instances. It is private to that log-on: a block of that name
/// that another user made is never used.
class InstanceBlock {
public:
    virtual ~InstanceBlock() = default;

    /// Creates the block, or opens it when it exists already; true when it
    /// existed and some running process still holds it (a block left behind
    /// by processes that have all ended counts as new and starts zeroed).
    /// Throws std::system_error when the block can be neither created nor
    /// opened.
    virtual bool createOrOpen() = 0;

    /// The fields; zero before createOrOpen succeeded.
    virtual std::int32_t window() const = 0;
    virtual void setWindow(std::int32_t window) = 0;
    virtual std::int32_t count() const = 0;
    virtual void setCount(std::int32_t count) = 0;

    /// Gives the block back; the last holder takes it away.
    virtual void close() = 0;

    /// The name under which the admitted instance listens for later starts,
    /// where the platform hands over by name: private to the user and the
    /// executable as the block is. (On Windows a later start finds the
    /// admitted instance's window by its class instead.)
    virtual std::string handOverName() const = 0;
};

/// The instance block of the executable at `exePath` for the current user.
std::unique_ptr<InstanceBlock> createInstanceBlock(std::string_view exePath);

}  // namespace ovin
