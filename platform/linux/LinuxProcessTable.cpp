#include "LinuxProcessTable.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

namespace ovin {

namespace {

// The kernel keeps a process name in 16 bytes with its terminating zero, so
// a name of exactly this length may have been cut.
constexpr std::size_t kCommCutChars = 15;
// Enough for the pid, the name (up to 64 characters for some kernel
// threads) and the state that follows it.
constexpr std::size_t kStatHeadBytes = 256;
// The name alone, with room for the longest.
constexpr std::size_t kCommBytes = 128;
constexpr std::size_t kPathBytes = 4096;
constexpr std::string_view kDeletedSuffix = " (deleted)";

bool isPid(const char* name)
{
    if (*name == '\0')
        return false;
    for (const char* p = name; *p; ++p) {
        if (*p < '0' || *p > '9')
            return false;
    }
    return true;
}

// Reads the start of a small file below /proc; the count of bytes, or -1.
ssize_t readHead(int procFd, const char* path, char* buf, std::size_t size)
{
    const int fd = ::openat(procFd, path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    ssize_t n;
    do {
        n = ::read(fd, buf, size);
    } while (n < 0 && errno == EINTR);
    ::close(fd);
    return n;
}

std::string_view fileNamePart(std::string_view path)
{
    const auto cut = path.find_last_of("/\\");
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

// The whole name behind a name the kernel may have cut: the executable's
// file name, or that of the first command-line word (a program under Wine
// shows its Windows path there), whichever begins with the cut name.
std::string fullName(int procFd, std::string_view pid, std::string_view comm)
{
    char path[64];
    char buf[kPathBytes];
    auto startsWithComm = [&](std::string_view name) { return name.size() > comm.size() && name.starts_with(comm); };

    std::snprintf(path, sizeof path, "%.*s/exe", static_cast<int>(pid.size()), pid.data());
    const ssize_t linkLength = ::readlinkat(procFd, path, buf, sizeof buf);
    if (linkLength > 0) {
        std::string_view exe(buf, static_cast<std::size_t>(linkLength));
        if (exe.ends_with(kDeletedSuffix))
            exe.remove_suffix(kDeletedSuffix.size());
        if (startsWithComm(fileNamePart(exe)))
            return std::string(fileNamePart(exe));
    }

    std::snprintf(path, sizeof path, "%.*s/cmdline", static_cast<int>(pid.size()), pid.data());
    const ssize_t n = readHead(procFd, path, buf, sizeof buf);
    if (n > 0) {
        std::string_view line(buf, static_cast<std::size_t>(n));
        const std::string_view first = line.substr(0, line.find('\0'));
        if (startsWithComm(fileNamePart(first)))
            return std::string(fileNamePart(first));
    }
    return std::string(comm);
}

// The image name of a process from its short "comm" entry, or nothing when
// it is gone. The kernel makes "comm" far more cheaply than "stat", which
// matters when every process is looked at several times a tick.
std::optional<std::string> nameOf(int procFd, std::string_view pid)
{
    char path[64];
    std::snprintf(path, sizeof path, "%.*s/comm", static_cast<int>(pid.size()), pid.data());
    char buf[kCommBytes];
    const ssize_t n = readHead(procFd, path, buf, sizeof buf);
    if (n <= 0)
        return std::nullopt;
    std::string_view comm(buf, static_cast<std::size_t>(n));
    // One line break ends the entry; the name itself may hold others.
    if (comm.ends_with('\n'))
        comm.remove_suffix(1);
    if (comm.size() == kCommCutChars)
        return fullName(procFd, pid, comm);
    return std::string(comm);
}

// True when the process has ended and only waits to be reaped (a zombie), or
// is gone: it must not look as running.
bool hasEnded(int procFd, std::string_view pid)
{
    char path[64];
    std::snprintf(path, sizeof path, "%.*s/stat", static_cast<int>(pid.size()), pid.data());
    char buf[kStatHeadBytes];
    const ssize_t n = readHead(procFd, path, buf, sizeof buf);
    if (n <= 0)
        return true;
    // "pid (name) state ...": the name may hold blanks and parentheses, and
    // nothing after it holds a ")".
    const std::string_view stat(buf, static_cast<std::size_t>(n));
    const auto close = stat.rfind(')');
    if (close == std::string_view::npos || close + 2 >= stat.size())
        return true;
    const char state = stat[close + 2];
    return state == 'Z' || state == 'X';
}

// The image name of a running process, or nothing when it is gone or a
// zombie.
std::optional<std::string> imageNameOf(int procFd, std::string_view pid)
{
    auto name = nameOf(procFd, pid);
    if (!name || hasEnded(procFd, pid))
        return std::nullopt;
    return name;
}

}  // namespace

std::vector<ProcessEntry> LinuxProcessTable::snapshot() const
{
    return scan([](std::string_view) { return true; }, false);
}

std::vector<ProcessEntry> LinuxProcessTable::snapshot(const std::function<bool(std::string_view)>& wanted) const
{
    return scan(wanted, false);
}

std::optional<ProcessEntry> LinuxProcessTable::findAny(const std::function<bool(std::string_view)>& wanted) const
{
    if (m_lastFound != 0) {
        // Whatever runs under that id now: a process that has ended, or one
        // that took the id over under another name, is not taken.
        const int procFd = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (procFd >= 0) {
            auto name = imageNameOf(procFd, std::to_string(m_lastFound));
            ::close(procFd);
            if (name && wanted(*name))
                return ProcessEntry{std::move(*name), m_lastFound};
        }
    }
    std::vector<ProcessEntry> found = scan(wanted, true);
    m_lastFound = found.empty() ? 0 : found.front().pid;
    if (found.empty())
        return std::nullopt;
    return std::move(found.front());
}

std::vector<ProcessEntry> LinuxProcessTable::scan(const std::function<bool(std::string_view)>& wanted,
                                                  bool firstOnly) const
{
    std::vector<ProcessEntry> entries;
    const std::unique_ptr<DIR, int (*)(DIR*)> proc(::opendir("/proc"), ::closedir);
    if (!proc)
        return entries;
    const int procFd = ::dirfd(proc.get());
    // Kernel threads are listed too, under their own names; no program of
    // the watchdog's concern shares one.
    while (const dirent* d = ::readdir(proc.get())) {
        if (!isPid(d->d_name))
            continue;
        // The state last: a process that ends in between is then not listed.
        auto name = nameOf(procFd, d->d_name);
        if (!name || !wanted(*name) || hasEnded(procFd, d->d_name))
            continue;
        entries.push_back({std::move(*name), static_cast<std::uint32_t>(std::strtoul(d->d_name, nullptr, 10))});
        if (firstOnly)
            break;
    }
    return entries;
}

Result LinuxProcessTable::terminate(const ProcessEntry& entry)
{
    if (entry.pid == 0)
        return Result::failure(std::strerror(EINVAL));
    // The id may have gone to another process since the snapshot. The name
    // check catches one that had it already when the descriptor was opened;
    // the descriptor stays bound to the process it was opened on, so one
    // that gets the id later is never hit.
    const int pidFd = static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(entry.pid), 0));
    if (pidFd < 0)
        return Result::failure(std::strerror(errno));
    int err = 0;
    const int procFd = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (procFd >= 0) {
        const auto name = imageNameOf(procFd, std::to_string(entry.pid));
        if (!name || *name != entry.imageName)
            err = ESRCH;
        else if (::syscall(SYS_pidfd_send_signal, pidFd, SIGKILL, nullptr, 0) != 0)
            err = errno;
        ::close(procFd);
    } else {
        err = errno;
    }
    ::close(pidFd);
    if (err != 0)
        return Result::failure(std::strerror(err));
    return {};
}

}  // namespace ovin
