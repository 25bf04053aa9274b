#pragma once

#include <cstdint>

namespace ovin {

/// A moment of local wall-clock time, broken down as the log and the date
/// stamps need it.
struct LocalTime {
    int year = 0;
    int month = 0;  ///< 1–12
    int day = 0;    ///< 1–31
    int hour = 0;   ///< 0–23
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

/// Seconds since 1970-01-01 00:00:00 of the same calendar, counting the local
/// fields as they stand (no time zone). Two local times are compared through
/// it; it is not a POSIX time.
std::int64_t localSeconds(const LocalTime& t);

/// The local clock and the blocking pause of the user-interface thread.
class Clock {
public:
    virtual ~Clock() = default;
    /// The current local time, to the millisecond.
    virtual LocalTime now() const = 0;
    /// Blocks the calling thread; no events are processed meanwhile.
    virtual void sleepMs(int ms) = 0;
    /// The same moment on the world's clock: milliseconds since 1970-01-01
    /// 00:00 UTC. What other machines read (metrics, alerts) and spans that
    /// must not jump when the local clock changes its offset use it.
    virtual std::int64_t unixMs() const = 0;
    /// How far local time is ahead of UTC now, in minutes (60 in Prague in
    /// winter, 120 in summer).
    virtual int utcOffsetMinutes() const = 0;
};

}  // namespace ovin
