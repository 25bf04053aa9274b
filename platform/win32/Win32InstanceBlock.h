#pragma once

#include <string>

#include "Win32Handle.h"
#include "platform/InstanceBlock.h"

namespace ovin {

/// The instance block as a named mapping of the paging file in the
/// session's own namespace. The system keeps it while any process holds it
/// and takes it away with the last one, however that ends.
class Win32InstanceBlock final : public InstanceBlock {
public:
    explicit Win32InstanceBlock(std::wstring name);
    ~Win32InstanceBlock() override;
    Win32InstanceBlock(const Win32InstanceBlock&) = delete;
    Win32InstanceBlock& operator=(const Win32InstanceBlock&) = delete;

    bool createOrOpen() override;
    std::int32_t window() const override;
    void setWindow(std::int32_t window) override;
    std::int32_t count() const override;
    void setCount(std::int32_t count) override;
    void close() override;
    std::string handOverName() const override;

    /// The mapping's full name, namespace included.
    const std::wstring& name() const { return m_name; }

private:
    volatile std::int32_t* field(std::size_t offset) const;

    std::wstring m_name;
    win32::UniqueHandle m_mapping;
    void* m_view = nullptr;
};

}  // namespace ovin
