#include "LinuxFileSystem.h"

#include "PosixIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace ovin {

namespace {

// More hops than this is a loop, as the kernel counts.
constexpr int kMaxLinkHops = 40;
// Pieces of a streamed read; what one read holds at most.
constexpr std::size_t kChunkBytes = 64 * 1024;

constexpr const char* kForeignLink = "Symbolic link owned by another user";
constexpr const char* kNotRegular = "Not a regular file";

std::string systemText(int err) { return std::strerror(err); }

bool isReadOnly(const struct stat& st) { return (st.st_mode & S_IWUSR) == 0; }

// The program's own user and the administrator: whatever they made, the
// program may follow, since neither gains anything through it.
bool trustedOwner(uid_t uid) { return uid == ::geteuid() || uid == 0; }

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Where an operation on `path` lands: the path itself, or the end of the
// symbolic links it starts with, each of which must belong to a trusted
// owner. Someone who may write the program's folder could otherwise plant a
// link there and have the program read or overwrite any file as its user.
// Nothing when a foreign link or a loop is on the way.
std::optional<std::string> resolveTrusted(const std::string& path)
{
    std::string at = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return at;
        if (!trustedOwner(st.st_uid))
            return std::nullopt;
        char buf[PATH_MAX];
        const ssize_t n = ::readlink(at.c_str(), buf, sizeof buf);
        if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buf)
            return at;
        std::string target(buf, static_cast<std::size_t>(n));
        at = target.front() == '/' ? target : folderOf(at) + "/" + target;
    }
    return std::nullopt;
}

// The entry an operation on `path` sees, links of trusted owners followed.
std::optional<std::string> statTrusted(const std::string& path, struct stat& st)
{
    const auto at = resolveTrusted(path);
    if (!at || ::lstat(at->c_str(), &st) != 0)
        return std::nullopt;
    return at;
}

// Opens a regular file for reading without ever waiting: a pipe would wait
// for a writer and a device may never end, so neither is opened for real,
// and the type is checked again on the open descriptor in case the entry was
// swapped meanwhile. -1 with `error` set when it is no file or cannot be read.
int openForReading(const std::string& path, struct stat& st, std::string& error)
{
    const auto at = resolveTrusted(path);
    if (!at) {
        error = kForeignLink;
        return -1;
    }
    if (::lstat(at->c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? systemText(EISDIR) : kNotRegular;
        return -1;
    }
    const int fd = ::open(at->c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        error = systemText(errno);
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = kNotRegular;
        ::close(fd);
        return -1;
    }
    // A regular file never waits anyway; reads go on as usual.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// Reads at most `limit` bytes into `buf`, going on after interruptions; the
// count, 0 at the end, -1 on an error.
ssize_t readSome(int fd, char* buf, std::size_t limit)
{
    for (;;) {
        const ssize_t n = ::read(fd, buf, limit);
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

// Hands what the open file holds now to `sink` piece by piece: a file that
// grows while it is read (a writer that never stops) still ends the read.
Result streamOpen(int fd, std::int64_t size, const std::function<bool(std::string_view)>& sink)
{
    std::vector<char> buf(kChunkBytes);
    std::int64_t left = size;
    while (left > 0) {
        const auto want = static_cast<std::size_t>(std::min<std::int64_t>(left, kChunkBytes));
        const ssize_t n = readSome(fd, buf.data(), want);
        if (n < 0)
            return Result::failure(systemText(errno));
        if (n == 0)
            break;
        left -= n;
        if (!sink(std::string_view(buf.data(), static_cast<std::size_t>(n))))
            break;
    }
    return {};
}

void syncFolder(const std::string& folder)
{
    UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
}

// A folder lets others put another file in place of one of its entries when
// it is theirs, or when their group or everyone may write it without the
// sticky bit (which keeps them to their own entries).
bool folderOpenToOthers(const struct stat& st)
{
    return !trustedOwner(st.st_uid) || ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (st.st_mode & S_ISVTX) == 0);
}

// True when someone else can swap an entry anywhere on the way from the root
// down to `folder` (a canonical path).
bool chainOpenToOthers(std::string folder)
{
    for (;;) {
        struct stat st {};
        if (::stat(folder.c_str(), &st) != 0 || folderOpenToOthers(st))
            return true;
        if (folder == "/")
            return false;
        folder = folderOf(folder);
    }
}

std::optional<std::string> canonical(const std::string& path)
{
    char buf[PATH_MAX];
    if (!::realpath(path.c_str(), buf))
        return std::nullopt;
    return std::string(buf);
}

}  // namespace

bool LinuxFileSystem::fileExists(const std::string& path) const
{
    struct stat st {};
    return statTrusted(path, st) && S_ISREG(st.st_mode);
}

std::int32_t LinuxFileSystem::dateStamp(const std::string& path) const
{
    struct stat st {};
    if (!statTrusted(path, st) || S_ISLNK(st.st_mode))
        return -1;
    tm local{};
    const time_t mtime = st.st_mtim.tv_sec;
    if (!localtime_r(&mtime, &local))
        return -1;
    const int year = local.tm_year + 1900;
    // The packed format covers 1980 to 2107 only.
    if (year < 1980 || year > 2107)
        return -1;
    const std::uint32_t date = (static_cast<std::uint32_t>(year - 1980) << 9) |
                               (static_cast<std::uint32_t>(local.tm_mon + 1) << 5) |
                               static_cast<std::uint32_t>(local.tm_mday);
    const std::uint32_t time = (static_cast<std::uint32_t>(local.tm_hour) << 11) |
                               (static_cast<std::uint32_t>(local.tm_min) << 5) |
                               static_cast<std::uint32_t>(local.tm_sec / 2);
    return static_cast<std::int32_t>((date << 16) | time);
}

std::optional<std::int64_t> LinuxFileSystem::entrySize(const std::string& path) const
{
    struct stat st {};
    if (!statTrusted(path, st) || S_ISLNK(st.st_mode))
        return std::nullopt;
    return static_cast<std::int64_t>(st.st_size);
}

std::optional<FileIdentity> LinuxFileSystem::identity(const std::string& path) const
{
    struct stat st {};
    if (!statTrusted(path, st) || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                        static_cast<std::int64_t>(st.st_size),
                        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec};
}

Result LinuxFileSystem::readFile(const std::string& path, std::string& content) const
{
    struct stat st {};
    std::string error;
    UniqueFd fd(openForReading(path, st, error));
    if (fd.get() < 0)
        return Result::failure(error);
    // Room the caller reserved is kept: the log reserves room to grow in, so
    // that its first line after the load does not copy a month of text.
    content.clear();
    if (st.st_size > 0 && content.capacity() < static_cast<std::size_t>(st.st_size))
        content.reserve(static_cast<std::size_t>(st.st_size));
    const Result r = streamOpen(fd.get(), st.st_size, [&](std::string_view piece) {
        content.append(piece);
        return true;
    });
    if (!r.ok) {
        content.clear();
        return r;
    }
    return {};
}

Result LinuxFileSystem::readChunks(const std::string& path, const std::function<bool(std::string_view)>& sink) const
{
    struct stat st {};
    std::string error;
    UniqueFd fd(openForReading(path, st, error));
    if (fd.get() < 0)
        return Result::failure(error);
    return streamOpen(fd.get(), st.st_size, sink);
}

Result LinuxFileSystem::replaceFile(const std::string& path, std::string_view content)
{
    // A link of a trusted owner is followed so that the link stays. Anything
    // else that is no file (a foreign link, a pipe, a device, a link that
    // leads nowhere) is replaced by a file of our own: never written through.
    std::string target = path;
    struct stat old {};
    if (const auto at = resolveTrusted(path); at && ::lstat(at->c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode))
            return Result::failure(systemText(EISDIR));
        if (S_ISREG(old.st_mode))
            target = *at;
    }
    bool existed = false;
    if (::lstat(target.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode))
            return Result::failure(systemText(EISDIR));
        existed = S_ISREG(old.st_mode);
    }
    if (existed && isReadOnly(old))
        return Result::failure(systemText(EACCES));

    // The new content goes to a file of its own in the same folder and takes
    // the old one's place only once it is complete on disk, so a full disk or
    // a crash mid-write never leaves less than the last good content.
    static std::atomic<unsigned> counter{0};
    const std::string folder = folderOf(target);
    const auto slash = target.rfind('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temp;
    int raw = -1;
    for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
        temp = folder + "/." + base + ".tmp" + std::to_string(::getpid()) + "." + std::to_string(counter++);
        raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (raw < 0 && errno != EEXIST)
            return Result::failure(systemText(errno));
    }
    if (raw < 0)
        return Result::failure(systemText(EEXIST));
    UniqueFd fd(raw);
    auto fail = [&](int err) {
        ::unlink(temp.c_str());
        return Result::failure(systemText(err));
    };
    if (existed) {
        ::fchmod(fd.get(), old.st_mode & 07777);
        if (::fchown(fd.get(), old.st_uid, old.st_gid) != 0) {
            // Keeping the owner is a courtesy; the content matters more.
        }
    }
    if (!writeAll(fd.get(), content.data(), content.size()) || ::fsync(fd.get()) != 0)
        return fail(errno);
    if (::close(fd.release()) != 0)
        return fail(errno);
    if (::rename(temp.c_str(), target.c_str()) != 0)
        return fail(errno);
    syncFolder(folder);
    return {};
}

Result LinuxFileSystem::appendFile(const std::string& path, std::string_view content)
{
    const auto at = resolveTrusted(path);
    if (!at)
        return Result::failure(kForeignLink);
    UniqueFd fd(::open(at->c_str(), O_WRONLY | O_APPEND | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW));
    if (fd.get() < 0)
        return Result::failure(systemText(errno));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return Result::failure(systemText(errno));
    if (!S_ISREG(st.st_mode))
        return Result::failure(kNotRegular);
    if (isReadOnly(st))
        return Result::failure(systemText(EACCES));
    if (!writeAll(fd.get(), content.data(), content.size())) {
        const int err = errno;
        // A half-written addition would leave the file matching nothing the
        // program knows; take it back so the next save can try again.
        if (::ftruncate(fd.get(), st.st_size) != 0) {
        }
        return Result::failure(systemText(err));
    }
    if (::close(fd.release()) != 0)
        return Result::failure(systemText(errno));
    return {};
}

Result LinuxFileSystem::copyFile(const std::string& from, const std::string& to)
{
    struct stat st {};
    std::string error;
    UniqueFd in(openForReading(from, st, error));
    if (in.get() < 0)
        return Result::failure(error);
    // O_EXCL creates the copy anew and never goes through a link.
    UniqueFd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777));
    if (out.get() < 0)
        return Result::failure(systemText(errno));
    int err = 0;
    const Result r = streamOpen(in.get(), st.st_size, [&](std::string_view piece) {
        if (!writeAll(out.get(), piece.data(), piece.size()))
            err = errno;
        return err == 0;
    });
    if (r.ok && err == 0 && ::close(out.release()) != 0)
        err = errno;
    if (!r.ok || err != 0) {
        ::unlink(to.c_str());
        return r.ok ? Result::failure(systemText(err)) : r;
    }
    return {};
}

Result LinuxFileSystem::makeWritable(const std::string& path)
{
    const auto at = resolveTrusted(path);
    if (!at)
        return Result::failure(kForeignLink);
    struct stat st {};
    if (::lstat(at->c_str(), &st) != 0)
        return Result::failure(systemText(errno));
    if (!S_ISREG(st.st_mode))
        return Result::failure(kNotRegular);
    if (::chmod(at->c_str(), (st.st_mode & 07777) | S_IWUSR) != 0)
        return Result::failure(systemText(errno));
    return {};
}

Result LinuxFileSystem::deleteFile(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return Result::failure(systemText(errno));
    if (S_ISDIR(st.st_mode))
        return Result::failure(systemText(EISDIR));
    if (!S_ISLNK(st.st_mode) && isReadOnly(st))
        return Result::failure(systemText(EACCES));
    if (::unlink(path.c_str()) != 0)
        return Result::failure(systemText(errno));
    return {};
}

bool LinuxFileSystem::othersCanChange(const std::string& path) const
{
    // What is run is the file at the end of the links; what names it is the
    // entry in the given folder. Whoever can change either, or any folder
    // above them, can choose what runs. What cannot be looked at is not
    // vouched for.
    const auto file = canonical(path);
    const auto folder = canonical(folderOf(path));
    if (!file || !folder)
        return true;
    struct stat st {};
    if (::stat(file->c_str(), &st) != 0 || !trustedOwner(st.st_uid) || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return true;
    return chainOpenToOthers(folderOf(*file)) || chainOpenToOthers(*folder);
}

}  // namespace ovin
