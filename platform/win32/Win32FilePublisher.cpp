#include "Win32FilePublisher.h"

#include <windows.h>

#include "Win32Handle.h"
#include "Win32Text.h"

namespace ovin {

namespace {

// A scrape reads a file of a few kilobytes in well under this; a reader that holds it longer gets the next write.
constexpr int kMoveTriesCount = 40;
constexpr DWORD kMoveRetryMs = 25;

bool heldByReader(DWORD error) { return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION; }

}  // namespace

Result Win32FilePublisher::checkFolder(const std::string& folder) const
{
    const std::wstring wide = win32::widen(folder);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Result::failure(win32::lastErrorText());
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return Result::failure(win32::systemText(ERROR_DIRECTORY));
    // Rights on Windows come from access lists that only a try answers for certain.
    std::wstring probe = wide;
    if (probe.back() != L'\\' && probe.back() != L'/')
        probe += L'\\';
    probe += L"ovin-zkouska.tmp";
    win32::UniqueHandle file(::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!file.valid())
        return Result::failure(win32::lastErrorText());
    return {};
}

Result Win32FilePublisher::publish(const std::string& path, std::string_view bytes)
{
    const std::wstring target = win32::widen(path);
    // The exporter reads "*.prom" only.
    const std::wstring temp = target + L".tmp";
    {
        win32::UniqueHandle file(
            ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid())
            return Result::failure(win32::lastErrorText());
        DWORD written = 0;
        if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size()) {
            const DWORD error = ::GetLastError();
            file.reset();
            ::DeleteFileW(temp.c_str());
            return Result::failure(win32::systemText(error != 0 ? error : ERROR_DISK_FULL));
        }
    }
    DWORD error = 0;
    for (int attempt = 0; attempt < kMoveTriesCount; ++attempt) {
        if (::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
            return {};
        error = ::GetLastError();
        if (!heldByReader(error))
            break;
        ::Sleep(kMoveRetryMs);
    }
    ::DeleteFileW(temp.c_str());
    return Result::failure(win32::systemText(error));
}

}  // namespace ovin
