#include "LinuxLauncher.h"

#include "DetachedExec.h"
#include "PosixIo.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

extern char** environ;

namespace ovin {

namespace {

// The first bytes of a Windows program.
constexpr std::string_view kWindowsMagic = "MZ";
constexpr const char* kWine = "wine";

bool isWindowsProgram(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    char head[2] = {};
    ssize_t n;
    do {
        n = ::read(fd, head, sizeof head);
    } while (n < 0 && errno == EINTR);
    ::close(fd);
    return n == 2 && std::string_view(head, 2) == kWindowsMagic;
}

bool isExecutableFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string findOnPath(const char* program)
{
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const auto colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        std::string candidate(folder.empty() ? std::string_view(".") : folder);
        candidate += '/';
        candidate += program;
        if (isExecutableFile(candidate))
            return candidate;
        if (colon == std::string_view::npos)
            return {};
        rest.remove_prefix(colon + 1);
    }
}

std::string absolute(const std::string& path)
{
    if (!path.empty() && path.front() == '/')
        return path;
    char cwd[PATH_MAX];
    if (!::getcwd(cwd, sizeof cwd))
        return path;
    return std::string(cwd) + "/" + path;
}

}  // namespace

Result LinuxLauncher::open(const std::string& executable, const std::string& workingFolder)
{
    // Everything that allocates happens before the fork.
    std::vector<std::string> args;
    const std::string program = absolute(executable);
    if (isWindowsProgram(program)) {
        const std::string wine = findOnPath(kWine);
        if (wine.empty())
            return Result::failure(std::string(kWine) + ": " + std::strerror(ENOENT));
        args = {wine, program};
    } else {
        args = {program};
    }
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string folder = workingFolder.empty() ? std::string(".") : workingFolder;

    // The exec closes the write end; a start that fails writes its cause.
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return Result::failure(std::strerror(errno));

    // Two forks: the router is the child of a child that ends at once, so it
    // is never the watchdog's child and never stays a zombie of it (a zombie
    // would still be listed as a running router).
    const pid_t child = ::fork();
    if (child < 0) {
        const int err = errno;
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return Result::failure(std::strerror(err));
    }
    if (child == 0) {
        ::close(pipeFds[0]);
        // Its own session: no terminal's hang-up and no signal to the
        // watchdog's process group reaches the router.
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0)
            ExecDetached(argv.data(), environ, folder.c_str(), pipeFds[1]);
        if (grandchild < 0) {
            const int err = errno;
            writeAll(pipeFds[1], &err, sizeof err);
        }
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int err = 0;
    ssize_t n;
    do {
        n = ::read(pipeFds[0], &err, sizeof err);
    } while (n < 0 && errno == EINTR);
    ::close(pipeFds[0]);
    if (n == 0)
        return {};
    return Result::failure(std::strerror(n == static_cast<ssize_t>(sizeof err) ? err : EIO));
}

}  // namespace ovin
