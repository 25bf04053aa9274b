// The cost of one timestamped line while the log grows: every line saves the
// log, so a month-long log must not make each line slower.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/Platform.h"
#include "settings/EventLog.h"

namespace {

constexpr int kTimedLines = 2000;

double microsecondsPerLine(ovin::Platform& platform, const std::string& folder, int logLines)
{
    ovin::EventLog log(*platform.files, *platform.clock, folder);
    std::string block;
    for (int i = 0; i < logLines; ++i)
        block += "[12:00:00.000] /srv/router/request.cfg je stale stejny: " + std::to_string(i) + "\r\n";
    log.AppendLines(block);
    log.AddLogLine("first save writes the whole log");

    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kTimedLines; ++i)
        log.AddLogLine("Nastavena priorita: Normální");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    std::filesystem::remove(log.LogFileName());
    return std::chrono::duration<double, std::micro>(elapsed).count() / kTimedLines;
}

}  // namespace

int main()
{
    char tmpl[] = "/tmp/ovin-bench-XXXXXX";
    if (!mkdtemp(tmpl)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string folder = std::string(tmpl) + "/";
    ovin::Platform platform = ovin::createPlatform();

    std::printf("AddLogLine with the month file on disk (%d lines timed each)\n", kTimedLines);
    double small = 0;
    for (const int lines : {1000, 100000, 1000000}) {
        const double us = microsecondsPerLine(platform, folder, lines);
        if (lines == 1000)
            small = us;
        std::printf("  log of %8d lines: %8.2f us per line  (x%.2f of 1,000 lines)\n", lines, us, us / small);
    }
    std::filesystem::remove_all(tmpl);
    return 0;
}
