#include "Win32Clock.h"

#include <windows.h>

#include <cstdint>

namespace ovin {

LocalTime Win32Clock::now() const
{
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

void Win32Clock::sleepMs(int ms)
{
    if (ms > 0)
        ::Sleep(static_cast<DWORD>(ms));
}

namespace {

// 100-nanosecond intervals since 1601-01-01, the system's own count.
std::int64_t ticksOf(const FILETIME& f) { return (std::int64_t(f.dwHighDateTime) << 32) | f.dwLowDateTime; }

constexpr std::int64_t kTicksPerMs = 10000;
constexpr std::int64_t kUnixEpochTicks = 116444736000000000LL;

}  // namespace

std::int64_t Win32Clock::unixMs() const
{
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return (ticksOf(now) - kUnixEpochTicks) / kTicksPerMs;
}

int Win32Clock::utcOffsetMinutes() const
{
    // Both readings of one moment, so the offset is whatever rule is in force now (summer time included).
    FILETIME utc{};
    ::GetSystemTimeAsFileTime(&utc);
    FILETIME local{};
    if (!::FileTimeToLocalFileTime(&utc, &local))
        return 0;
    const std::int64_t diffMs = (ticksOf(local) - ticksOf(utc)) / kTicksPerMs;
    return static_cast<int>((diffMs + (diffMs >= 0 ? 30000 : -30000)) / 60000);
}

}  // namespace ovin
