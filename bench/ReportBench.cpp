// ovin-report on a month of log beside `grep -c` of one fixed string in the
// same file, both with the file in the page cache, and the report's peak
// memory. The report should need at most 1.5 times grep's time and 30 MB.

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "MonthLogLines.h"

namespace {

namespace fs = std::filesystem;

constexpr int kMonthLines = 2'600'000;
constexpr int kRounds = 3;

// The watchdog's events every few thousand lines, so that the report has
// something to count besides the request-file reports.
void writeMonth(const fs::path& file)
{
    FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) {
        std::perror("fopen");
        std::exit(1);
    }
    std::string block = "\r\n" + std::string(119, '-') + "\r\n01.12.2026 00:00:00 START\r\nNastaveni:\r\n";
    for (int i = 0; i < kMonthLines; ++i) {
        ovin::bench::appendMonthLogLine(block, i, "Normální");
        if (i % 5000 == 4999) {
            const int t = i % 86400;
            char line[128];
            std::snprintf(line, sizeof line,
                          "[%02d:%02d:%02d.500] Prekrocen limit stari souboru 5\r\n[%02d:%02d:%02d.600] Ukoncuji "
                          "Trovan\r\n",
                          t / 3600, t / 60 % 60, t % 60, t / 3600, t / 60 % 60, t % 60);
            block += line;
        }
        if (block.size() > (1u << 20)) {
            std::fwrite(block.data(), 1, block.size(), out);
            block.clear();
        }
    }
    std::fwrite(block.data(), 1, block.size(), out);
    std::fclose(out);
}

double secondsOf(const std::string& command)
{
    double best = 1e9;
    for (int i = 0; i < kRounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) == -1) {
            std::perror("system");
            std::exit(1);
        }
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main()
{
    const fs::path root = fs::temp_directory_path() / ("ovin-report-bench-" + std::to_string(::getpid()));
    const fs::path one = root / "praha";
    const fs::path two = root / "brno";
    fs::create_directories(one);
    fs::create_directories(two);
    const fs::path month = one / "ovin202612.log";
    writeMonth(month);
    fs::copy_file(month, two / "ovin202612.log");
    const double mb = static_cast<double>(fs::file_size(month)) / 1e6;

    const std::string report = std::string(OVIN_REPORT_EXE) + " --json ";
    // Warm the cache: both files once, unmeasured.
    secondsOf("cat '" + month.string() + "' '" + (two / "ovin202612.log").string() + "' > /dev/null");

    const double reportS = secondsOf(report + "'" + one.string() + "' > /dev/null");
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    const double peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    const double grepS = secondsOf("grep -c 'Trovan spusten' '" + month.string() + "' > /dev/null");
    const double fleetS = secondsOf(report + "'" + one.string() + "' '" + two.string() + "' > /dev/null");

    std::printf("ovin-report on a month of %d lines (%.0f MB), warm cache, best of %d\n", kMonthLines, mb, kRounds);
    std::printf("  %-34s %8.3f s\n", "grep -c 'Trovan spusten'", grepS);
    std::printf("  %-34s %8.3f s   (%.2f x grep, target <= 1.5)\n", "ovin-report --json", reportS, reportS / grepS);
    std::printf("  %-34s %8.1f MB  (target <= 30)\n", "ovin-report peak memory", peakMb);
    std::printf("  %-34s %8.3f s   (%.2f x one, on %u cores)\n", "ovin-report, two machines", fleetS, fleetS / reportS,
                std::max(1u, std::thread::hardware_concurrency()));
    fs::remove_all(root);
    return 0;
}
