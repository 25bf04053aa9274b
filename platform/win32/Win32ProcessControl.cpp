#include "Win32ProcessControl.h"

#include <windows.h>

#include "Win32Text.h"

namespace ovin {

namespace {

DWORD classOf(PriorityClass cls)
{
    switch (cls) {
    case PriorityClass::Idle:
        return IDLE_PRIORITY_CLASS;
    case PriorityClass::Normal:
        return NORMAL_PRIORITY_CLASS;
    case PriorityClass::High:
        return HIGH_PRIORITY_CLASS;
    case PriorityClass::RealTime:
        return REALTIME_PRIORITY_CLASS;
    }
    return NORMAL_PRIORITY_CLASS;
}

}  // namespace

Result Win32ProcessControl::setOwnPriorityClass(PriorityClass cls)
{
    // Without the privilege for it the system gives high instead of
    // real-time and still reports success.
    if (!::SetPriorityClass(::GetCurrentProcess(), classOf(cls)))
        return Result::failure(win32::lastErrorText());
    return {};
}

std::string Win32ProcessControl::executablePath() const
{
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0)
            return {};
        if (n < buf.size())
            return win32::narrow(std::wstring_view(buf.data(), n));
        buf.resize(buf.size() * 2);
    }
}

}  // namespace ovin
