#include "Win32StartGate.h"

#include <cwctype>
#include <string>

#include "Win32Text.h"

namespace ovin {

std::unique_ptr<StartGate> createStartGate(std::string_view imageName)
{
    return std::make_unique<Win32StartGate>(imageName);
}

Win32StartGate::Win32StartGate(std::string_view imageName)
{
    // Image names compare without case, so the gate's name does too.
    std::wstring key = win32::widen(imageName);
    for (wchar_t& c : key)
        c = static_cast<wchar_t>(std::towlower(c));
    m_mutex.reset(::CreateMutexW(nullptr, FALSE, (L"Local\\ovin-start-" + key).c_str()));
    if (!m_mutex.valid())
        m_openError = ::GetLastError();
}

Result Win32StartGate::enter(std::chrono::milliseconds timeout)
{
    if (!m_mutex.valid())
        return Result::failure(win32::systemText(m_openError));
    if (!m_aside)
        m_aside = std::make_unique<win32::AsideMark>();
    const DWORD waited = ::WaitForSingleObject(m_mutex.get(), static_cast<DWORD>(timeout.count()));
    const DWORD error = ::GetLastError();
    m_aside.reset();
    // A holder that ended without leaving gives the gate free all the same.
    m_held = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    if (m_held)
        return {};
    return Result::failure(win32::systemText(waited == WAIT_TIMEOUT ? WAIT_TIMEOUT : error));
}

void Win32StartGate::standAside()
{
    if (!m_aside)
        m_aside = std::make_unique<win32::AsideMark>();
}

void Win32StartGate::leave()
{
    if (m_held)
        ::ReleaseMutex(m_mutex.get());
    m_held = false;
}

}  // namespace ovin
