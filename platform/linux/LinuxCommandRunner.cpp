#include "LinuxCommandRunner.h"

#include "DetachedExec.h"
#include "PosixIo.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <set>

extern char** environ;

namespace ovin {

namespace {

constexpr long kWatchStepNs = 50'000'000;
constexpr std::int64_t kTermGraceMs = 1000;

std::int64_t monotonicMs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t{ts.tv_sec} * 1000 + ts.tv_nsec / 1'000'000;
}

// The log's lines for the command, in a file only this user can read: they may name paths and hosts.
Result writeTailFile(const std::string& text, std::string& path)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/ovin-upozorneni-XXXXXX.log";
    const int fd = ::mkostemps(pattern.data(), 4, O_CLOEXEC);
    if (fd < 0)
        return Result::failure(std::string("mkstemps: ") + std::strerror(errno));
    UniqueFd file(fd);
    if (!writeAll(fd, text.data(), text.size())) {
        const int err = errno;
        ::unlink(pattern.c_str());
        return Result::failure(std::strerror(err));
    }
    path = pattern;
    return {};
}

// Everything below runs between fork and exec, or in the watcher, which never execs: only calls that are safe
// after a fork in a threaded program.
[[noreturn]] void execCommand(char* const argv[], char* const envp[], const char* folder, int report)
{
    // A group of its own, so that the watcher can end whatever the command started.
    ::setpgid(0, 0);
    ExecDetached(argv, envp, folder, report);
}

[[noreturn]] void watch(pid_t command, std::int64_t limitMs, const char* tailPath)
{
    const std::int64_t start = monotonicMs();
    std::int64_t termAt = -1;
    int status = 0;
    while (true) {
        const pid_t r = ::waitpid(command, &status, WNOHANG);
        if (r == command || (r < 0 && errno != EINTR))
            break;
        const std::int64_t now = monotonicMs();
        if (termAt < 0 && now - start >= limitMs) {
            // The whole group: a script's own children go with it.
            ::kill(-command, SIGTERM);
            termAt = now;
        } else if (termAt >= 0 && now - termAt >= kTermGraceMs) {
            ::kill(-command, SIGKILL);
        }
        const timespec step{0, kWatchStepNs};
        ::nanosleep(&step, nullptr);
    }
    if (termAt >= 0)
        ::kill(-command, SIGKILL);
    if (tailPath)
        ::unlink(tailPath);
    ::_exit(0);
}

}  // namespace

Result LinuxCommandRunner::start(const std::string& program, const std::string& folder,
                                 const std::vector<std::pair<std::string, std::string>>& environment,
                                 const std::string& tailVariable, const std::string& tailText)
{
    // Everything that allocates happens before the fork.
    std::string tailPath;
    if (!tailText.empty()) {
        if (Result r = writeTailFile(tailText, tailPath); !r.ok)
            return r;
    }
    std::vector<std::string> env;
    std::set<std::string> given;
    for (const auto& [name, value] : environment) {
        given.insert(name);
        env.push_back(name + "=" + value);
    }
    if (!tailPath.empty()) {
        given.insert(tailVariable);
        env.push_back(tailVariable + "=" + tailPath);
    }
    for (char** e = environ; e && *e; ++e) {
        const std::string_view entry(*e);
        if (!given.count(std::string(entry.substr(0, entry.find('=')))))
            env.emplace_back(entry);
    }
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string programCopy = program;
    char* argv[] = {programCopy.data(), nullptr};
    const std::string where = folder.empty() ? std::string(".") : folder;
    const std::int64_t limitMs = m_limit.count();
    const char* tail = tailPath.empty() ? nullptr : tailPath.c_str();

    const auto giveUp = [&](int err) {
        if (tail)
            ::unlink(tail);
        return Result::failure(std::strerror(err));
    };
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return giveUp(errno);
    // The first child only makes the watcher and ends at once, so the watchdog reaps it now and is never the
    // parent of anything that lives on.
    const pid_t child = ::fork();
    if (child < 0) {
        const int err = errno;
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return giveUp(err);
    }
    if (child == 0) {
        ::close(pipeFds[0]);
        ::setsid();
        const pid_t watcher = ::fork();
        if (watcher == 0) {
            const pid_t command = ::fork();
            if (command == 0)
                execCommand(argv, envp.data(), where.c_str(), pipeFds[1]);
            if (command < 0) {
                const int err = errno;
                writeAll(pipeFds[1], &err, sizeof err);
                ::_exit(0);
            }
            ::close(pipeFds[1]);
            watch(command, limitMs, tail);
        }
        if (watcher < 0) {
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
    // The watcher removes the file too once it has reaped the failed start; removing it here as well does no harm.
    return giveUp(n == static_cast<ssize_t>(sizeof err) ? err : EIO);
}

}  // namespace ovin
