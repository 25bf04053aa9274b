#pragma once

#include <string>

namespace ovin {

/// The name of the machine the watchdog runs on, as its operators know it.
class MachineName {
public:
    virtual ~MachineName() = default;
    virtual std::string machineName() const = 0;
};

}  // namespace ovin
