#include "LinuxProcessControl.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

namespace ovin {

namespace {

int niceOf(PriorityClass cls)
{
    switch (cls) {
    case PriorityClass::Idle:
        return 19;
    case PriorityClass::Normal:
        return 0;
    case PriorityClass::High:
        return -10;
    case PriorityClass::RealTime:
        return -20;
    }
    return 0;
}

}  // namespace

Result LinuxProcessControl::setOwnPriorityClass(PriorityClass cls)
{
    // Lowering the nice value needs privileges; the caller logs either way.
    if (setpriority(PRIO_PROCESS, 0, niceOf(cls)) != 0)
        return Result::failure(std::strerror(errno));
    return {};
}

std::string LinuxProcessControl::executablePath() const
{
    std::vector<char> buf(PATH_MAX);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0)
            return {};
        if (static_cast<size_t>(n) < buf.size())
            return std::string(buf.data(), static_cast<size_t>(n));
        buf.resize(buf.size() * 2);
    }
}

}  // namespace ovin
