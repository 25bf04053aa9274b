#include "Calendar.h"

#include <cstdio>

namespace ovin::report {

namespace {

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : kDays[m - 1];
}

bool allDigits(std::string_view s)
{
    for (const char c : s)
        if (c < '0' || c > '9')
            return false;
    return !s.empty();
}

int number(std::string_view s)
{
    int v = 0;
    for (const char c : s)
        v = v * 10 + (c - '0');
    return v;
}

}  // namespace

// Days from the civil calendar, shifted so that the year starts in March and
// the leap day falls at its end.
DayNumber dayFromDate(int year, int month, int day)
{
    year -= month <= 2;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yoe = year - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Date dateFromDay(DayNumber day)
{
    const int z = day + 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const int doe = z - era * 146097;
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    const int d = doy - (153 * mp + 2) / 5 + 1;
    const int m = mp < 10 ? mp + 3 : mp - 9;
    return {yoe + era * 400 + (m <= 2), m, d};
}

std::string dateText(DayNumber day)
{
    const Date d = dateFromDay(day);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buf;
}

std::string dateTimeText(std::int64_t localMs)
{
    const DayNumber day = dayOf(localMs);
    const auto secs = static_cast<int>((localMs - std::int64_t{day} * kMsPerDay) / 1000);
    char buf[32];
    std::snprintf(buf, sizeof buf, " %02d:%02d:%02d", secs / 3600, secs / 60 % 60, secs % 60);
    return dateText(day) + buf;
}

std::optional<DayNumber> parseDate(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !allDigits(text.substr(0, 4)) ||
        !allDigits(text.substr(5, 2)) || !allDigits(text.substr(8, 2)))
        return std::nullopt;
    const int y = number(text.substr(0, 4));
    const int m = number(text.substr(5, 2));
    const int d = number(text.substr(8, 2));
    if (m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m))
        return std::nullopt;
    return dayFromDate(y, m, d);
}

std::optional<int> monthOfLogName(std::string_view fileName)
{
    const auto cut = fileName.find_last_of("/\\:");
    if (cut != std::string_view::npos)
        fileName.remove_prefix(cut + 1);
    if (fileName.size() != 14)
        return std::nullopt;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    constexpr std::string_view kHead = "ovin", kTail = ".log";
    for (std::size_t i = 0; i < 4; ++i)
        if (lower(fileName[i]) != kHead[i] || lower(fileName[10 + i]) != kTail[i])
            return std::nullopt;
    const std::string_view digits = fileName.substr(4, 6);
    if (!allDigits(digits))
        return std::nullopt;
    const int y = number(digits.substr(0, 4));
    const int m = number(digits.substr(4, 2));
    if (m < 1 || m > 12)
        return std::nullopt;
    return y * 12 + m - 1;
}

int monthOfDay(DayNumber day)
{
    const Date d = dateFromDay(day);
    return d.year * 12 + d.month - 1;
}

std::string durationText(std::int64_t ms)
{
    const std::int64_t s = (ms + 500) / 1000;
    char buf[64];
    if (s >= 3600)
        std::snprintf(buf, sizeof buf, "%lld h %02lld min %02lld s", static_cast<long long>(s / 3600),
                      static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
    else if (s >= 60)
        std::snprintf(buf, sizeof buf, "%lld min %02lld s", static_cast<long long>(s / 60),
                      static_cast<long long>(s % 60));
    else
        std::snprintf(buf, sizeof buf, "%lld s", static_cast<long long>(s));
    return buf;
}

}  // namespace ovin::report
