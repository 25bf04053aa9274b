#include "LinuxSessionSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace ovin {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

int g_pipe[2] = {-1, -1};

void onSignal(int sig)
{
    const char byte = static_cast<char>(sig);
    const int saved = errno;
    if (::write(g_pipe[1], &byte, 1) < 0) {
        // Nothing can be reported from inside a signal handler.
    }
    errno = saved;
}

}  // namespace

std::unique_ptr<SessionSignals> createSessionSignals() { return std::make_unique<LinuxSessionSignals>(); }

LinuxSessionSignals::LinuxSessionSignals()
{
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : kSignals)
        ::sigaction(sig, &action, nullptr);
}

LinuxSessionSignals::~LinuxSessionSignals()
{
    for (const int sig : kSignals)
        ::signal(sig, SIG_DFL);
    for (int& fd : g_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

std::intptr_t LinuxSessionSignals::readyHandle() const { return g_pipe[0]; }

std::vector<SessionSignals::Request> LinuxSessionSignals::takeRequests()
{
    std::vector<Request> requests;
    char byte = 0;
    while (g_pipe[0] >= 0 && ::read(g_pipe[0], &byte, 1) == 1)
        requests.push_back(byte == SIGINT ? Request::Interrupted : Request::SessionEnding);
    return requests;
}

}  // namespace ovin
