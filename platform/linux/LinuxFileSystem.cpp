#include "LinuxFileSystem.h"

#include "PosixIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace ovin {

namespace {

std::string systemText(int err) { return std::strerror(err); }

bool isReadOnly(const struct stat& st) { return (st.st_mode & S_IWUSR) == 0; }

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a write must land in: a link is followed so that the link stays.
std::string writeTarget(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char buf[PATH_MAX];
        if (::realpath(path.c_str(), buf))
            return buf;
    }
    return path;
}

void syncFolder(const std::string& folder)
{
    UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
}

}  // namespace

bool LinuxFileSystem::fileExists(const std::string& path) const
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::int32_t LinuxFileSystem::dateStamp(const std::string& path) const
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
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
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return static_cast<std::int64_t>(st.st_size);
}

std::optional<FileIdentity> LinuxFileSystem::identity(const std::string& path) const
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                        static_cast<std::int64_t>(st.st_size),
                        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec};
}

IoResult LinuxFileSystem::readFile(const std::string& path, std::string& content) const
{
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return IoResult::failure(systemText(errno));
    struct stat st {};
    if (::fstat(fd.get(), &st) == 0 && S_ISDIR(st.st_mode))
        return IoResult::failure(systemText(EISDIR));
    // Room the caller reserved is kept: the log reserves room to grow in, so
    // that its first line after the load does not copy a month of text.
    content.clear();
    if (st.st_size > 0 && content.capacity() < static_cast<size_t>(st.st_size))
        content.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            content.clear();
            return IoResult::failure(systemText(errno));
        }
        if (n == 0)
            break;
        content.append(buf, static_cast<size_t>(n));
    }
    return {};
}

IoResult LinuxFileSystem::replaceFile(const std::string& path, std::string_view content)
{
    const std::string target = writeTarget(path);
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode))
        return IoResult::failure(systemText(EISDIR));
    if (existed && isReadOnly(old))
        return IoResult::failure(systemText(EACCES));

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
            return IoResult::failure(systemText(errno));
    }
    if (raw < 0)
        return IoResult::failure(systemText(EEXIST));
    UniqueFd fd(raw);
    auto fail = [&](int err) {
        ::unlink(temp.c_str());
        return IoResult::failure(systemText(err));
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

IoResult LinuxFileSystem::appendFile(const std::string& path, std::string_view content)
{
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
    if (fd.get() < 0)
        return IoResult::failure(systemText(errno));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return IoResult::failure(systemText(errno));
    if (isReadOnly(st))
        return IoResult::failure(systemText(EACCES));
    if (!writeAll(fd.get(), content.data(), content.size())) {
        const int err = errno;
        // A half-written addition would leave the file matching nothing the
        // program knows; take it back so the next save can try again.
        if (::ftruncate(fd.get(), st.st_size) != 0) {
        }
        return IoResult::failure(systemText(err));
    }
    if (::close(fd.release()) != 0)
        return IoResult::failure(systemText(errno));
    return {};
}

bool LinuxFileSystem::copyFile(const std::string& from, const std::string& to)
{
    UniqueFd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        return false;
    struct stat st {};
    if (::fstat(in.get(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    UniqueFd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777));
    if (out.get() < 0)
        return false;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(in.get(), buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || (n > 0 && !writeAll(out.get(), buf, static_cast<size_t>(n)))) {
            ::unlink(to.c_str());
            return false;
        }
        if (n == 0)
            break;
    }
    if (::close(out.release()) != 0) {
        ::unlink(to.c_str());
        return false;
    }
    return true;
}

bool LinuxFileSystem::makeWritable(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    return ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

bool LinuxFileSystem::deleteFile(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    if (!S_ISLNK(st.st_mode) && isReadOnly(st))
        return false;
    return ::unlink(path.c_str()) == 0;
}

}  // namespace ovin
