#include "SignalBridge.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>

namespace ovin {

namespace {

int g_pipe[2] = {-1, -1};

void onSignal(int sig)
{
    const char byte = static_cast<char>(sig);
    const int saved = errno;
    if (write(g_pipe[1], &byte, 1) < 0) {
        // Nothing can be reported from inside a signal handler.
    }
    errno = saved;
}

}  // namespace

SignalBridge::SignalBridge(QObject* parent) : QObject(parent)
{
    if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        g_pipe[0] = g_pipe[1] = -1;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        while (read(g_pipe[0], &byte, 1) == 1) {
            if (byte == SIGINT)
                emit interrupted();
            else
                emit sessionEnding();
        }
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : {SIGTERM, SIGHUP, SIGINT})
        sigaction(sig, &action, nullptr);
}

SignalBridge::~SignalBridge()
{
    for (const int sig : {SIGTERM, SIGHUP, SIGINT})
        signal(sig, SIG_DFL);
    close(g_pipe[0]);
    close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

}  // namespace ovin
