#include "Win32CommandRunner.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <thread>

#include "AnsiCodec.h"
#include "Win32Handle.h"
#include "Win32Text.h"

namespace ovin {

namespace {

constexpr DWORD kEndWaitMs = 5000;

std::wstring lower(std::wstring s)
{
    for (wchar_t& c : s)
        c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

std::wstring extensionOf(const std::wstring& path)
{
    const auto dot = path.find_last_of(L".\\/");
    return dot == std::wstring::npos || path[dot] != L'.' ? std::wstring() : lower(path.substr(dot));
}

std::wstring systemFolderProgram(const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    const UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, n) + L"\\" + name;
}

// The caller's environment with the alert's variables in place of any of the same name (names have no case on
// Windows), sorted as the system keeps an environment block.
std::wstring environmentBlock(const std::vector<std::pair<std::wstring, std::wstring>>& extra)
{
    std::vector<std::wstring> entries;
    if (wchar_t* env = ::GetEnvironmentStringsW()) {
        for (const wchar_t* p = env; *p; p += std::wcslen(p) + 1) {
            const std::wstring entry(p);
            // Entries of the drives' current folders ("=C:=C:\x") begin with "=".
            const auto eq = entry.find(L'=', 1);
            const std::wstring name = lower(entry.substr(0, eq));
            const bool replaced =
                std::any_of(extra.begin(), extra.end(), [&](const auto& kv) { return lower(kv.first) == name; });
            if (!replaced)
                entries.push_back(entry);
        }
        ::FreeEnvironmentStringsW(env);
    }
    for (const auto& [name, value] : extra)
        entries.push_back(name + L"=" + value);
    std::sort(entries.begin(), entries.end(), [](const std::wstring& a, const std::wstring& b) {
        return lower(a.substr(0, a.find(L'=', 1))) < lower(b.substr(0, b.find(L'=', 1)));
    });
    std::wstring block;
    for (const std::wstring& e : entries) {
        block += e;
        block += L'\0';
    }
    block += L'\0';
    return block;
}

Result writeTailFile(const std::string& text, std::wstring& path)
{
    wchar_t folder[MAX_PATH + 1] = {};
    if (::GetTempPathW(MAX_PATH + 1, folder) == 0)
        return Result::failure(win32::lastErrorText());
    wchar_t name[MAX_PATH + 1] = {};
    if (::GetTempFileNameW(folder, L"ovn", 0, name) == 0)
        return Result::failure(win32::lastErrorText());
    path = name;
    // A text file of the system's code page, as every text file of the program.
    const std::string bytes = win32::AnsiCodec::system().fromUtf8(text);
    win32::UniqueHandle file(
        ::CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr));
    DWORD written = 0;
    if (!file.valid() || !::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        const std::string error = win32::lastErrorText();
        file.reset();
        ::DeleteFileW(name);
        return Result::failure(error);
    }
    return {};
}

}  // namespace

Result Win32CommandRunner::start(const std::string& program, const std::string& folder,
                                 const std::vector<std::pair<std::string, std::string>>& environment,
                                 const std::string& tailVariable, const std::string& tailText)
{
    std::vector<std::pair<std::wstring, std::wstring>> extra;
    for (const auto& [name, value] : environment)
        extra.emplace_back(win32::widen(name), win32::widen(value));
    std::wstring tailPath;
    if (!tailText.empty()) {
        if (Result r = writeTailFile(tailText, tailPath); !r.ok)
            return r;
        extra.emplace_back(win32::widen(tailVariable), tailPath);
    }
    std::wstring env = environmentBlock(extra);

    const std::wstring path = win32::widen(program);
    const std::wstring ext = extensionOf(path);
    std::wstring application;
    std::wstring commandLine;
    if (ext == L".cmd" || ext == L".bat") {
        application = systemFolderProgram(L"cmd.exe");
        commandLine = L"cmd.exe /d /c \"\"" + path + L"\"\"";
    } else if (ext == L".ps1") {
        application = systemFolderProgram(L"WindowsPowerShell\\v1.0\\powershell.exe");
        commandLine = L"powershell.exe -NoProfile -NonInteractive -ExecutionPolicy Bypass -File \"" + path + L"\"";
    } else {
        application = path;
        commandLine = L"\"" + path + L"\"";
    }
    const std::wstring workingFolder = win32::widen(folder);

    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const DWORD flags = CREATE_SUSPENDED | CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT | CREATE_NEW_PROCESS_GROUP;
    if (!::CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags, env.data(),
                          workingFolder.empty() ? nullptr : workingFolder.c_str(), &si, &pi)) {
        const std::string error = win32::lastErrorText();
        if (!tailPath.empty())
            ::DeleteFileW(tailPath.c_str());
        return Result::failure(error);
    }
    win32::UniqueHandle process(pi.hProcess);
    win32::UniqueHandle thread(pi.hThread);
    // Everything the command starts stays in its job, so that the end after the limit reaches it all.
    win32::UniqueHandle job(::CreateJobObjectW(nullptr, nullptr));
    if (job.valid() && !::AssignProcessToJobObject(job.get(), process.get()))
        job.reset();
    ::ResumeThread(thread.get());

    const DWORD limitMs = static_cast<DWORD>(m_limit.count());
    std::thread([process = std::move(process), job = std::move(job), tailPath, limitMs]() mutable {
        if (::WaitForSingleObject(process.get(), limitMs) == WAIT_TIMEOUT) {
            if (job.valid())
                ::TerminateJobObject(job.get(), 1);
            else
                ::TerminateProcess(process.get(), 1);
            ::WaitForSingleObject(process.get(), kEndWaitMs);
        }
        if (!tailPath.empty())
            ::DeleteFileW(tailPath.c_str());
    }).detach();
    return {};
}

}  // namespace ovin
