// Cost of the process scans the watchdog makes several times a tick, next to
// "pgrep -x" on the same process table. pgrep's figure includes starting a
// process; the cost of starting /bin/true is printed too, so that its scan
// alone can be told apart.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <functional>

#include "platform/linux/LinuxProcessTable.h"
#include "watchdog/ProcessOps.h"

extern char** environ;

namespace {

constexpr int kScanRounds = 2000;
constexpr int kSpawnRounds = 200;

double microsecondsPerCall(int rounds, const std::function<void()>& call)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
        call();
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / rounds;
}

// Runs a program to its end with its output thrown away.
bool run(const char* const argv[])
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return false;
    int status = 0;
    return waitpid(pid, &status, 0) == pid;
}

}  // namespace

int main()
{
    ovin::LinuxProcessTable table;
    const auto processes = table.snapshot().size();

    bool running = false;
    const double isRunning =
        microsecondsPerCall(kScanRounds, [&] { running = ovin::IsProcessRunning(table, "trovan.exe"); });
    int count = 0;
    const double counting = microsecondsPerCall(kScanRounds, [&] { count = ovin::CountProcesses(table, "ovin"); });

    const char* const pgrep[] = {"pgrep", "-x", "trovan.exe", nullptr};
    const char* const truth[] = {"true", nullptr};
    bool spawned = true;
    const double pgrepCall = microsecondsPerCall(kSpawnRounds, [&] { spawned = run(pgrep) && spawned; });
    const double spawnCall = microsecondsPerCall(kSpawnRounds, [&] { spawned = run(truth) && spawned; });

    std::printf("process scan, %zu processes listed\n", processes);
    std::printf("  IsProcessRunning(\"trovan.exe\")  %8.1f us/call  (%s)\n", isRunning,
                running ? "running" : "not running");
    std::printf("  CountProcesses(\"ovin\")          %8.1f us/call  (%d)\n", counting, count);
    if (!spawned) {
        std::printf("  pgrep could not be run\n");
        return 0;
    }
    std::printf("  pgrep -x trovan.exe              %8.1f us/call\n", pgrepCall);
    std::printf("    of which starting a process    %8.1f us/call (true)\n", spawnCall);
    std::printf("    pgrep's own scan, about        %8.1f us/call\n", pgrepCall - spawnCall);
    return 0;
}
