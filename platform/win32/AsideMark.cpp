#include "AsideMark.h"

#include <windows.h>

#include <string>

namespace ovin::win32 {

namespace {

std::wstring markName(std::uint32_t pid) { return L"Local\\ovin-aside-" + std::to_wstring(pid); }

}  // namespace

AsideMark::AsideMark() : m_handle(::CreateEventW(nullptr, TRUE, FALSE, markName(::GetCurrentProcessId()).c_str())) {}

AsideMark::~AsideMark()
{
    if (m_handle)
        ::CloseHandle(m_handle);
}

bool AsideMark::isMarked(std::uint32_t pid)
{
    const HANDLE h = ::OpenEventW(SYNCHRONIZE, FALSE, markName(pid).c_str());
    if (!h)
        return false;
    ::CloseHandle(h);
    return true;
}

}  // namespace ovin::win32
