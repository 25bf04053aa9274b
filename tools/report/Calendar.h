#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ovin::report {

/// A day as a count of days since 1970-01-01 in the proleptic Gregorian
/// calendar. The log holds local time and so do these days: no time zone is
/// ever applied.
using DayNumber = std::int32_t;

constexpr std::int64_t kMsPerDay = 86'400'000;

/// The day of a calendar date (month 1-12, day 1-31, not checked).
DayNumber dayFromDate(int year, int month, int day);

struct Date {
    int year = 1970;
    int month = 1;
    int day = 1;
};

Date dateFromDay(DayNumber day);

/// Local milliseconds since 1970-01-01 00:00 split into their day.
inline DayNumber dayOf(std::int64_t localMs)
{
    return static_cast<DayNumber>(localMs >= 0 ? localMs / kMsPerDay : (localMs - kMsPerDay + 1) / kMsPerDay);
}

/// "YYYY-MM-DD".
std::string dateText(DayNumber day);

/// "YYYY-MM-DD HH:MM:SS" of local milliseconds.
std::string dateTimeText(std::int64_t localMs);

/// Reads "YYYY-MM-DD" of a real calendar date.
std::optional<DayNumber> parseDate(std::string_view text);

/// The month of a month file's name "ovinYYYYMM.log" (any folder before it),
/// as year * 12 + month - 1, or nothing for another name.
std::optional<int> monthOfLogName(std::string_view fileName);

/// The month of a day, counted as in monthOfLogName.
int monthOfDay(DayNumber day);

/// A length of time for people: "2 h 05 min 07 s", "45 s".
std::string durationText(std::int64_t ms);

}  // namespace ovin::report
