#include "Clock.h"

namespace ovin {

namespace {

// Days from 1970-01-01 in the proleptic Gregorian calendar (H. Hinnant's
// civil-days algorithm).
std::int64_t daysFromCivil(int y, int m, int d)
{
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

}  // namespace

std::int64_t localSeconds(const LocalTime& t)
{
    return daysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

}  // namespace ovin
