#pragma once

#include <cstdio>
#include <string>

namespace ovin::bench {

/// Appends line `i` of a month of log as the watchdog leaves it: request-file reports and priority lines, 71 bytes a
/// line on average as in a real month. `normal` is the word "Normální" in the month file's own encoding.
inline void appendMonthLogLine(std::string& out, int i, const char* normal)
{
    const int t = i % 86400;
    const int ms = (i * 37) % 1000;
    char line[160];
    if (i % 2 == 0)
        std::snprintf(line, sizeof line,
                      "[%02d:%02d:%02d.%03d] Soubor /srv/trovan/request.cfg datum: 07.12.2026 velikost: %d\r\n",
                      t / 3600, t / 60 % 60, t % 60, ms, 10000 + i % 90000);
    else
        std::snprintf(line, sizeof line, "[%02d:%02d:%02d.%03d] Nastavena priorita: %s\r\n", t / 3600, t / 60 % 60,
                      t % 60, ms, normal);
    out += line;
}

}  // namespace ovin::bench
