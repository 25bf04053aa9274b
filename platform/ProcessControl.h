#pragma once

#include <string>

#include "platform/Result.h"

namespace ovin {

/// The scheduling classes the watchdog can give its own process.
enum class PriorityClass { Idle, Normal, High, RealTime };

/// Services about the watchdog's own process.
class ProcessControl {
public:
    virtual ~ProcessControl() = default;

    /// Sets the own process's priority class.
    virtual Result setOwnPriorityClass(PriorityClass cls) = 0;

    /// Full path of the running executable.
    virtual std::string executablePath() const = 0;
};

}  // namespace ovin
