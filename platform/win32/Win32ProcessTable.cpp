#include "Win32ProcessTable.h"

#include <windows.h>

#include <tlhelp32.h>

#include "AsideMark.h"
#include "Win32Handle.h"
#include "Win32Text.h"

namespace ovin {

namespace {

constexpr const char* kAsidePrefix = "~";

std::wstring ownImageName()
{
    wchar_t buf[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameW(nullptr, buf, MAX_PATH);
    const std::wstring path(buf, n < MAX_PATH ? n : 0);
    const auto cut = path.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

bool sameName(const std::wstring& a, const wchar_t* b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b, -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

Win32ProcessTable::Win32ProcessTable() : m_ownImageName(ownImageName()) {}

std::vector<ProcessEntry> Win32ProcessTable::snapshot() const
{
    std::vector<ProcessEntry> entries;
    win32::UniqueHandle snap(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snap.valid())
        return entries;
    PROCESSENTRY32W e{};
    e.dwSize = sizeof e;
    for (BOOL more = ::Process32FirstW(snap.get(), &e); more; more = ::Process32NextW(snap.get(), &e)) {
        std::string name = win32::narrow(e.szExeFile);
        // Only the program's own name is ever put off at the gate: the mark
        // is looked for there alone, so a scan costs no more than a look
        // per start of the program.
        if (!m_ownImageName.empty() && sameName(m_ownImageName, e.szExeFile) &&
            win32::AsideMark::isMarked(e.th32ProcessID))
            name = kAsidePrefix + name;
        entries.push_back({std::move(name), e.th32ProcessID});
    }
    return entries;
}

Result Win32ProcessTable::terminate(const ProcessEntry& entry)
{
    // The termination right alone: nothing more is asked of the process, so
    // a process that allows just that can still be ended.
    win32::UniqueHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, entry.pid));
    if (!process.valid())
        return Result::failure(win32::lastErrorText());
    if (!::TerminateProcess(process.get(), 0))
        return Result::failure(win32::lastErrorText());
    return {};
}

}  // namespace ovin
