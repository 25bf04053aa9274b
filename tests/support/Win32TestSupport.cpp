#include "Win32TestSupport.h"

#include <thread>

#include "platform/win32/Win32Text.h"

namespace ovin::test {

using win32::narrow;
using win32::widen;

namespace {

// Folders in several scripts: the program's folder may be named in any.
constexpr const char* kScripts = "Ovin žluťoučký кот 猫";

void removeTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found{};
    const HANDLE h = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring full = folder + L"\\" + name;
            ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(full);
            else
                ::DeleteFileW(full.c_str());
        } while (::FindNextFileW(h, &found));
        ::FindClose(h);
    }
    ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

std::string hostPath(const std::string& path)
{
    if (path.empty() || path.front() != '/')
        return path;
    std::string out = "Z:" + path;
    for (char& c : out) {
        if (c == '/')
            c = '\\';
    }
    return out;
}

TempFolder::TempFolder(const std::string& what)
{
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    static int serial = 0;
    std::wstring folder = std::wstring(temp) + widen(std::string(kScripts) + " " + what + " ") +
                          std::to_wstring(::GetCurrentProcessId()) + L"." + std::to_wstring(++serial);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    m_path = narrow(folder);
}

TempFolder::~TempFolder() { removeTree(widen(m_path)); }

std::string readBytes(const std::string& path)
{
    win32::UniqueHandle h(::CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    if (!h.valid())
        return {};
    std::string bytes;
    char buf[65536];
    DWORD got = 0;
    while (::ReadFile(h.get(), buf, sizeof buf, &got, nullptr) && got > 0)
        bytes.append(buf, got);
    return bytes;
}

bool writeBytes(const std::string& path, const std::string& bytes)
{
    win32::UniqueHandle h(
        ::CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return h.valid() && ::WriteFile(h.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool exists(const std::string& path) { return ::GetFileAttributesW(widen(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> listFolder(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    const HANDLE h = ::FindFirstFileW((widen(folder) + L"\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(narrow(name));
    } while (::FindNextFileW(h, &found));
    ::FindClose(h);
    return names;
}

win32::UniqueHandle startProcess(const std::string& program, const std::string& arguments, DWORD* pid)
{
    std::wstring line = L"\"" + widen(program) + L"\" " + widen(arguments);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return win32::UniqueHandle();
    ::CloseHandle(pi.hThread);
    if (pid)
        *pid = pi.dwProcessId;
    return win32::UniqueHandle(pi.hProcess);
}

}  // namespace ovin::test
