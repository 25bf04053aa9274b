#include "DetachedExec.h"

#include "PosixIo.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace ovin {

namespace {

constexpr int kExitExecFailed = 127;

}  // namespace

void ExecDetached(char* const argv[], char* const envp[], const char* folder, int report)
{
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction dflt {};
    dflt.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig)
        ::sigaction(sig, &dflt, nullptr);

    int err = 0;
    if (::chdir(folder) != 0) {
        err = errno;
    } else {
        const int devNull = ::open("/dev/null", O_RDWR);
        if (devNull < 0) {
            err = errno;
        } else {
            ::dup2(devNull, STDIN_FILENO);
            ::dup2(devNull, STDOUT_FILENO);
            ::dup2(devNull, STDERR_FILENO);
            if (devNull > STDERR_FILENO)
                ::close(devNull);
            // Nothing of the watchdog's own may stay open in the started program for as long as it runs.
            ::syscall(SYS_close_range, 3U, ~0U, CLOSE_RANGE_CLOEXEC);
            ::execve(argv[0], argv, envp);
            err = errno;
        }
    }
    writeAll(report, &err, sizeof err);
    ::_exit(kExitExecFailed);
}

}  // namespace ovin
