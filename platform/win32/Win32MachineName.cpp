#include "Win32MachineName.h"

#include <windows.h>

#include "Win32Text.h"

namespace ovin {

std::string Win32MachineName::machineName() const
{
    wchar_t name[256] = {};
    DWORD size = static_cast<DWORD>(std::size(name));
    if (!::GetComputerNameExW(ComputerNameDnsHostname, name, &size))
        return "?";
    return win32::narrow(std::wstring_view(name, size));
}

}  // namespace ovin
