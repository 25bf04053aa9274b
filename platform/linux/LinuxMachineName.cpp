#include "LinuxMachineName.h"

#include <limits.h>
#include <unistd.h>

namespace ovin {

std::string LinuxMachineName::machineName() const
{
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return "?";
    return name;
}

}  // namespace ovin
