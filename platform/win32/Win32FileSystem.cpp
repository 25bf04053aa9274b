#include "Win32FileSystem.h"

#include <windows.h>

#include <aclapi.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cwctype>
#include <vector>

#include "AnsiCodec.h"
#include "Win32Handle.h"
#include "Win32Text.h"

namespace ovin {

using win32::AnsiCodec;
using win32::lastErrorText;
using win32::systemText;
using win32::UniqueHandle;
using win32::widen;

namespace {

// Pieces of a streamed read; what one read holds at most.
constexpr DWORD kChunkBytes = 64 * 1024;
// A write of a larger text goes in several calls: one call takes at most
// 4 GiB less one byte.
constexpr std::size_t kWriteStepBytes = std::size_t{1} << 30;
constexpr int kTempAttempts = 100;

// Names that reach a device wherever they stand, with any extension.
constexpr std::array<std::wstring_view, 6> kDeviceNames = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
constexpr std::array<std::wstring_view, 2> kNumberedDevices = {L"COM", L"LPT"};

std::wstring upper(std::wstring_view s)
{
    std::wstring out(s);
    for (wchar_t& c : out)
        c = static_cast<wchar_t>(std::towupper(c));
    return out;
}

bool isDeviceName(std::wstring_view name)
{
    // "nul.txt" and "NUL  " are the device too.
    name = name.substr(0, name.find(L'.'));
    while (!name.empty() && name.back() == L' ')
        name.remove_suffix(1);
    const std::wstring u = upper(name);
    if (std::find(kDeviceNames.begin(), kDeviceNames.end(), u) != kDeviceNames.end())
        return true;
    for (const std::wstring_view prefix : kNumberedDevices) {
        if (u.size() == 4 && u.compare(0, 3, prefix) == 0 &&
            ((u[3] >= L'0' && u[3] <= L'9') || u[3] == L'\u00B9' || u[3] == L'\u00B2' || u[3] == L'\u00B3'))
            return true;
    }
    return false;
}

bool isDevicePathW(std::wstring path)
{
    std::replace(path.begin(), path.end(), L'/', L'\\');
    if (path.rfind(L"\\\\.\\", 0) == 0)
        return true;
    if (path.rfind(L"\\\\?\\", 0) == 0) {
        const std::wstring_view rest = std::wstring_view(path).substr(4);
        const bool drive = rest.size() >= 2 && rest[1] == L':';
        const bool share = upper(rest.substr(0, 4)) == L"UNC\\";
        if (!drive && !share)
            return true;
    }
    const auto cut = path.find_last_of(L"\\:");
    return isDeviceName(cut == std::wstring::npos ? path : path.substr(cut + 1));
}

std::optional<WIN32_FILE_ATTRIBUTE_DATA> attributesOf(const std::string& path)
{
    const std::wstring w = widen(path);
    if (w.empty() || isDevicePathW(w))
        return std::nullopt;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(w.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return data;
}

bool isFolder(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

// Opens a file on a disk for reading. Others may read it meanwhile but not
// write it, so what is read is one state of the file; a writer that holds it
// open makes the read fail instead.
Result openForReading(const std::string& path, UniqueHandle& handle, std::int64_t& size)
{
    const std::wstring w = widen(path);
    if (w.empty() || isDevicePathW(w))
        return Result::failure(systemText(ERROR_FILE_NOT_FOUND));
    const DWORD attributes = ::GetFileAttributesW(w.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && isFolder(attributes))
        return Result::failure(systemText(ERROR_ACCESS_DENIED));
    handle.reset(::CreateFileW(w.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!handle.valid())
        return Result::failure(lastErrorText());
    // The name may have been swapped for something else since the look.
    if (::GetFileType(handle.get()) != FILE_TYPE_DISK)
        return Result::failure(systemText(ERROR_FILE_NOT_FOUND));
    LARGE_INTEGER li{};
    if (!::GetFileSizeEx(handle.get(), &li))
        return Result::failure(lastErrorText());
    size = li.QuadPart;
    return {};
}

// Hands what the open file holds now to `sink` as UTF-8, piece by piece: a
// file that grows while it is read still ends the read.
Result streamOpen(HANDLE handle, std::int64_t size, const std::function<bool(std::string_view)>& sink)
{
    AnsiCodec::Decoder decoder(AnsiCodec::system());
    std::vector<char> buf(kChunkBytes);
    std::int64_t left = size;
    while (left > 0) {
        const auto want = static_cast<DWORD>(std::min<std::int64_t>(left, kChunkBytes));
        DWORD got = 0;
        if (!::ReadFile(handle, buf.data(), want, &got, nullptr))
            return Result::failure(lastErrorText());
        if (got == 0)
            break;
        left -= got;
        const std::string text = decoder.feed(std::string_view(buf.data(), got));
        if (!text.empty() && !sink(text))
            return {};
    }
    const std::string rest = decoder.finish();
    if (!rest.empty())
        sink(rest);
    return {};
}

bool writeAll(HANDLE handle, std::string_view bytes)
{
    while (!bytes.empty()) {
        const auto step = static_cast<DWORD>(std::min(bytes.size(), kWriteStepBytes));
        DWORD written = 0;
        if (!::WriteFile(handle, bytes.data(), step, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// The part of a path up to and including its last separator; empty for a
// bare name, which lives in the current folder.
std::wstring folderPart(const std::wstring& path)
{
    const auto cut = path.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

// --- Who may change a file --------------------------------------------------

// Rights that let their holder change what a file holds or put another file
// in its place.
constexpr ACCESS_MASK kFileChangeRights =
    FILE_WRITE_DATA | FILE_APPEND_DATA | WRITE_DAC | WRITE_OWNER | DELETE | GENERIC_WRITE | GENERIC_ALL;
constexpr ACCESS_MASK kFolderChangeRights =
    FILE_ADD_FILE | FILE_DELETE_CHILD | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

std::vector<BYTE> ownUserSid()
{
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw))
        return {};
    UniqueHandle token(raw);
    DWORD needed = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &needed);
    std::vector<BYTE> buf(needed);
    if (needed == 0 || !::GetTokenInformation(token.get(), TokenUser, buf.data(), needed, &needed))
        return {};
    const auto* user = reinterpret_cast<const TOKEN_USER*>(buf.data());
    const DWORD length = ::GetLengthSid(user->User.Sid);
    const auto* sid = static_cast<const BYTE*>(user->User.Sid);
    return std::vector<BYTE>(sid, sid + length);
}

// The program's own user, the administrators, the system itself and the
// system's services: whatever they can do, the program gains nothing from.
bool trustedSid(PSID sid, const std::vector<BYTE>& own)
{
    if (!own.empty() && ::EqualSid(sid, const_cast<BYTE*>(own.data())))
        return true;
    if (::IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || ::IsWellKnownSid(sid, WinLocalSystemSid) ||
        ::IsWellKnownSid(sid, WinCreatorOwnerSid))
        return true;
    // NT SERVICE\..., TrustedInstaller among them.
    const SID_IDENTIFIER_AUTHORITY* authority = ::GetSidIdentifierAuthority(sid);
    const SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    return std::equal(std::begin(nt.Value), std::end(nt.Value), std::begin(authority->Value)) &&
           *::GetSidSubAuthorityCount(sid) >= 1 && *::GetSidSubAuthority(sid, 0) == SECURITY_SERVICE_ID_BASE_RID;
}

// True when someone other than the trusted ones owns the entry or holds any
// of `rights` on it; also when its security cannot be read.
bool openToOthers(const std::wstring& path, ACCESS_MASK rights, const std::vector<BYTE>& own)
{
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                &owner, nullptr, &dacl, nullptr, &sd) != ERROR_SUCCESS)
        return true;
    win32::LocalGuard guard(sd);
    if (owner && !trustedSid(owner, own))
        return true;
    // No list at all lets everyone do everything.
    if (!dacl)
        return true;
    ACL_SIZE_INFORMATION info{};
    if (!::GetAclInformation(dacl, &info, sizeof info, AclSizeInformation))
        return true;
    for (DWORD i = 0; i < info.AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(dacl, i, &ace))
            return true;
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE) != 0)
            continue;
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        if ((allowed->Mask & rights) == 0)
            continue;
        if (!trustedSid(const_cast<DWORD*>(&allowed->SidStart), own))
            return true;
    }
    return false;
}

std::wstring fullPath(const std::wstring& path)
{
    const DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return path;
    std::wstring full(n, L'\0');
    const DWORD m = ::GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    full.resize(m < n ? m : 0);
    return full.empty() ? path : full;
}

}  // namespace

bool Win32FileSystem::isDevicePath(const std::string& path) { return isDevicePathW(widen(path)); }

bool Win32FileSystem::fileExists(const std::string& path) const
{
    const auto data = attributesOf(path);
    return data && !isFolder(data->dwFileAttributes);
}

std::int32_t Win32FileSystem::dateStamp(const std::string& path) const
{
    const auto data = attributesOf(path);
    if (!data || isFolder(data->dwFileAttributes))
        return -1;
    FILETIME local{};
    WORD date = 0;
    WORD time = 0;
    if (!::FileTimeToLocalFileTime(&data->ftLastWriteTime, &local) || !::FileTimeToDosDateTime(&local, &date, &time))
        return -1;
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(date) << 16) | time);
}

std::optional<std::int64_t> Win32FileSystem::entrySize(const std::string& path) const
{
    const std::wstring w = widen(path);
    // A name with wildcards names no single entry.
    if (w.empty() || isDevicePathW(w) || w.find_first_of(L"*?") != std::wstring::npos)
        return std::nullopt;
    WIN32_FIND_DATAW found{};
    const HANDLE h = ::FindFirstFileW(fullPath(w).c_str(), &found);
    win32::FindGuard guard(h);
    if (!guard.valid())
        return std::nullopt;
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow);
}

std::optional<FileIdentity> Win32FileSystem::identity(const std::string& path) const
{
    const std::wstring w = widen(path);
    if (w.empty() || isDevicePathW(w))
        return std::nullopt;
    UniqueHandle h(::CreateFileW(w.c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!h.valid() || ::GetFileType(h.get()) != FILE_TYPE_DISK)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(h.get(), &info) || isFolder(info.dwFileAttributes))
        return std::nullopt;
    const auto high = [](DWORD hi, DWORD lo) { return (static_cast<std::uint64_t>(hi) << 32) | lo; };
    // File times count 100 ns steps.
    const auto written = high(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
    return FileIdentity{info.dwVolumeSerialNumber, high(info.nFileIndexHigh, info.nFileIndexLow),
                        static_cast<std::int64_t>(high(info.nFileSizeHigh, info.nFileSizeLow)),
                        static_cast<std::int64_t>(written) * 100};
}

Result Win32FileSystem::readFile(const std::string& path, std::string& content) const
{
    UniqueHandle h;
    std::int64_t size = 0;
    if (Result r = openForReading(path, h, size); !r.ok)
        return r;
    // Room the caller reserved is kept: the log reserves room to grow in.
    content.clear();
    if (size > 0 && content.capacity() < static_cast<std::size_t>(size))
        content.reserve(static_cast<std::size_t>(size));
    Result r = streamOpen(h.get(), size, [&](std::string_view piece) {
        content.append(piece);
        return true;
    });
    if (!r.ok)
        content.clear();
    return r;
}

Result Win32FileSystem::readChunks(const std::string& path, const std::function<bool(std::string_view)>& sink) const
{
    UniqueHandle h;
    std::int64_t size = 0;
    if (Result r = openForReading(path, h, size); !r.ok)
        return r;
    return streamOpen(h.get(), size, sink);
}

Result Win32FileSystem::replaceFile(const std::string& path, std::string_view content)
{
    const std::wstring w = widen(path);
    if (w.empty() || isDevicePathW(w))
        return Result::failure(systemText(ERROR_ACCESS_DENIED));
    const DWORD old = ::GetFileAttributesW(w.c_str());
    const bool existed = old != INVALID_FILE_ATTRIBUTES;
    if (existed && (isFolder(old) || (old & FILE_ATTRIBUTE_READONLY) != 0))
        return Result::failure(systemText(ERROR_ACCESS_DENIED));
    const std::string bytes = AnsiCodec::system().fromUtf8(content);

    // The new content goes to a file of its own in the same folder and takes
    // the old one's place only once it is complete on disk, so a full disk or
    // a crash mid-write never leaves less than the last good content.
    static std::atomic<unsigned> counter{0};
    const std::wstring folder = folderPart(w);
    const std::wstring base = w.substr(folder.size());
    std::wstring temp;
    UniqueHandle out;
    for (int attempt = 0; attempt < kTempAttempts && !out.valid(); ++attempt) {
        temp = folder + L"~" + base + L"." + std::to_wstring(::GetCurrentProcessId()) + L"." +
               std::to_wstring(counter++) + L".tmp";
        out.reset(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!out.valid() && ::GetLastError() != ERROR_FILE_EXISTS)
            return Result::failure(lastErrorText());
    }
    if (!out.valid())
        return Result::failure(systemText(ERROR_FILE_EXISTS));
    if (!writeAll(out.get(), bytes) || !::FlushFileBuffers(out.get())) {
        const DWORD err = ::GetLastError();
        out.reset();
        ::DeleteFileW(temp.c_str());
        return Result::failure(systemText(err));
    }
    out.reset();
    if (existed && (old & ~FILE_ATTRIBUTE_NORMAL) != 0)
        ::SetFileAttributesW(temp.c_str(), old);
    if (!::MoveFileExW(temp.c_str(), w.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD err = ::GetLastError();
        ::DeleteFileW(temp.c_str());
        return Result::failure(systemText(err));
    }
    return {};
}

Result Win32FileSystem::appendFile(const std::string& path, std::string_view content)
{
    const std::wstring w = widen(path);
    if (w.empty() || isDevicePathW(w))
        return Result::failure(systemText(ERROR_ACCESS_DENIED));
    UniqueHandle h(::CreateFileW(w.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid())
        return Result::failure(lastErrorText());
    if (::GetFileType(h.get()) != FILE_TYPE_DISK)
        return Result::failure(systemText(ERROR_ACCESS_DENIED));
    // The system lets an administrator write a read-only file; the program
    // keeps its hands off it whoever runs it.
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(h.get(), &info))
        return Result::failure(lastErrorText());
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0)
        return Result::failure(systemText(ERROR_ACCESS_DENIED));
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(h.get(), &size) || !::SetFilePointerEx(h.get(), size, nullptr, FILE_BEGIN))
        return Result::failure(lastErrorText());
    if (!writeAll(h.get(), AnsiCodec::system().fromUtf8(content))) {
        const DWORD err = ::GetLastError();
        // A half-written addition would leave the file matching nothing the
        // program knows; take it back so the next save can try again.
        ::SetFilePointerEx(h.get(), size, nullptr, FILE_BEGIN);
        ::SetEndOfFile(h.get());
        return Result::failure(systemText(err));
    }
    return {};
}

Result Win32FileSystem::copyFile(const std::string& from, const std::string& to)
{
    const std::wstring src = widen(from);
    const std::wstring dst = widen(to);
    if (src.empty() || dst.empty() || isDevicePathW(src) || isDevicePathW(dst))
        return Result::failure(systemText(ERROR_FILE_NOT_FOUND));
    const DWORD attributes = ::GetFileAttributesW(src.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Result::failure(lastErrorText());
    if (isFolder(attributes))
        return Result::failure(systemText(ERROR_ACCESS_DENIED));
    if (!::CopyFileW(src.c_str(), dst.c_str(), TRUE))
        return Result::failure(lastErrorText());
    return {};
}

Result Win32FileSystem::makeWritable(const std::string& path)
{
    const std::wstring w = widen(path);
    if (w.empty() || isDevicePathW(w))
        return Result::failure(systemText(ERROR_FILE_NOT_FOUND));
    const DWORD attributes = ::GetFileAttributesW(w.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Result::failure(lastErrorText());
    if (isFolder(attributes))
        return Result::failure(systemText(ERROR_ACCESS_DENIED));
    if (!::SetFileAttributesW(w.c_str(), FILE_ATTRIBUTE_NORMAL))
        return Result::failure(lastErrorText());
    return {};
}

Result Win32FileSystem::deleteFile(const std::string& path)
{
    const std::wstring w = widen(path);
    if (w.empty() || isDevicePathW(w))
        return Result::failure(systemText(ERROR_FILE_NOT_FOUND));
    if (!::DeleteFileW(w.c_str()))
        return Result::failure(lastErrorText());
    return {};
}

bool Win32FileSystem::othersCanChange(const std::string& path) const
{
    // What is run is the file; what names it is its folder's entry. Whoever
    // can change either can choose what runs. What cannot be looked at is
    // not vouched for.
    const std::wstring file = fullPath(widen(path));
    if (!fileExists(path))
        return true;
    const std::vector<BYTE> own = ownUserSid();
    std::wstring folder = folderPart(file);
    if (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    return openToOthers(file, kFileChangeRights, own) || openToOthers(folder, kFolderChangeRights, own);
}

}  // namespace ovin
