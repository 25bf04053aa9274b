#include "LinuxStartGate.h"

#include <sys/file.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "PrivateShm.h"

namespace ovin {

namespace {

// The kernel keeps a process's name in 16 bytes with the terminating zero.
constexpr std::size_t kNameBytes = 16;
// How often a waiting start asks for the lock again: the holder keeps it for
// a few milliseconds only.
constexpr std::chrono::milliseconds kPollPeriod{5};

}  // namespace

std::unique_ptr<StartGate> createStartGate(std::string_view imageName)
{
    return std::make_unique<LinuxStartGate>(imageName);
}

LinuxStartGate::LinuxStartGate(std::string_view imageName)
{
    char name[kNameBytes] = {};
    ::prctl(PR_GET_NAME, name, 0, 0, 0);
    m_ownName = name;
    m_asideName = ("~" + m_ownName).substr(0, kNameBytes - 1);
    std::string used;
    bool created = false;
    m_fd = privateshm::openPrivate(privateshm::baseName("ovin-", std::string(imageName) + ".start"), used, created);
    m_openError = m_fd < 0 ? errno : 0;
}

LinuxStartGate::~LinuxStartGate()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

Result LinuxStartGate::enter(std::chrono::milliseconds timeout)
{
    if (m_fd < 0)
        return Result::failure(std::strerror(m_openError));
    setOwnName(m_asideName);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    bool entered = false;
    for (;;) {
        if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
            entered = true;
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(kPollPeriod);
    }
    setOwnName(m_ownName);
    if (!entered)
        return Result::failure(std::strerror(ETIMEDOUT));
    return {};
}

void LinuxStartGate::standAside() { setOwnName(m_asideName); }

void LinuxStartGate::leave()
{
    if (m_fd >= 0)
        ::flock(m_fd, LOCK_UN);
}

void LinuxStartGate::setOwnName(const std::string& name) const { ::prctl(PR_SET_NAME, name.c_str(), 0, 0, 0); }

}  // namespace ovin
