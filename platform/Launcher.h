#pragma once

#include <string>

#include "platform/Result.h"

namespace ovin {

/// The desktop's way of opening a program.
class Launcher {
public:
    virtual ~Launcher() = default;

    /// Opens the executable as the desktop's shell does ("open", a normal
    /// window), with no arguments, in `workingFolder`, detached from the
    /// caller so that it outlives it and leaves no child behind. A failure
    /// means it could not be started at all.
    virtual Result open(const std::string& executable, const std::string& workingFolder) = 0;
};

}  // namespace ovin
