#pragma once

#include "platform/Clock.h"

namespace ovin {

class LinuxClock final : public Clock {
public:
    LocalTime now() const override;
    void sleepMs(int ms) override;
    std::int64_t unixMs() const override;
    int utcOffsetMinutes() const override;
};

}  // namespace ovin
