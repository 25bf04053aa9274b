#pragma once

#include <memory>
#include <string_view>

#include "AsideMark.h"
#include "Win32Handle.h"
#include "platform/StartGate.h"

namespace ovin {

/// The start gate as a named mutex in the session, keyed by the image name.
/// The system gives a mutex free when its holder ends, however it ends.
/// While a start waits or stands aside it carries the aside mark, which the
/// process table shows as another name.
class Win32StartGate final : public StartGate {
public:
    explicit Win32StartGate(std::string_view imageName);

    Result enter(std::chrono::milliseconds timeout) override;
    void standAside() override;
    void leave() override;

private:
    win32::UniqueHandle m_mutex;
    DWORD m_openError = ERROR_SUCCESS;
    bool m_held = false;
    std::unique_ptr<win32::AsideMark> m_aside;
};

}  // namespace ovin
