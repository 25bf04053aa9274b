#pragma once

#include <string>

namespace ovin {

/// The desktop's way of opening a program.
class Launcher {
public:
    virtual ~Launcher() = default;

    /// Starts the executable with no arguments, in `workingFolder`, detached
    /// from the caller so that it outlives it and leaves no child behind.
    /// False when it could not be started at all.
    virtual bool open(const std::string& executable, const std::string& workingFolder) = 0;
};

}  // namespace ovin
