// Cost of the process look-up that every watch tick makes, on a machine with
// 150 and with 2,000 processes: IsProcessRunning("trovan.exe") while a router
// runs (an idle tick) and while none runs (a whole scan), as it is and as the
// watchdog made it before (the whole "stat" entry of every process, every
// time), beside "pgrep -x" on the same process table. pgrep's figure includes
// starting a process; the cost of starting /bin/true is printed too, so that
// its scan alone can be told apart. The idle tick is timed once more with the
// metrics file on: the tick's end told to its writer, which compares the
// values and, every 15 s, formats the file and hands it to its thread.
//
// The bench makes up the processes itself: children that only wait, in a
// number bounded by kMaxProcesses, killed again before it ends (also if it is
// killed itself: each child dies with it). One of them, halfway, bears the
// router's name, so the bench holds the lock of the end-to-end tests, whose
// runs end processes of that name.

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/LinuxClock.h"
#include "platform/linux/LinuxFilePublisher.h"
#include "platform/linux/LinuxFileSystem.h"
#include "platform/linux/LinuxProcessTable.h"
#include "settings/EventLog.h"
#include "watchdog/MetricsExporter.h"
#include "watchdog/ProcessOps.h"
#include "watchdog/RouterRecord.h"

extern char** environ;

namespace {

constexpr int kMaxProcesses = 2000;
constexpr int kMachineSizes[] = {150, kMaxProcesses};
constexpr auto kMeasureTime = std::chrono::milliseconds(200);
constexpr int kMeasureRuns = 5;
constexpr int kSpawnRounds = 30;
constexpr double kTickSeconds = 1.0;

// The scan as the watchdog made it before: the whole "stat" entry of every
// process, its name and state taken from there, and the name compared after.
class StatScanTable final : public ovin::ProcessTable {
public:
    std::vector<ovin::ProcessEntry> snapshot() const override
    {
        std::vector<ovin::ProcessEntry> entries;
        const std::unique_ptr<DIR, int (*)(DIR*)> proc(::opendir("/proc"), ::closedir);
        if (!proc)
            return entries;
        while (const dirent* d = ::readdir(proc.get())) {
            if (d->d_name[0] < '0' || d->d_name[0] > '9')
                continue;
            const std::string path = std::string(d->d_name) + "/stat";
            const int fd = ::openat(::dirfd(proc.get()), path.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                continue;
            char buf[256];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            ::close(fd);
            if (n <= 0)
                continue;
            const std::string_view stat(buf, static_cast<std::size_t>(n));
            const auto open = stat.find('(');
            const auto close = stat.rfind(')');
            if (open == std::string_view::npos || close == std::string_view::npos || close + 2 >= stat.size())
                continue;
            if (stat[close + 2] == 'Z' || stat[close + 2] == 'X')
                continue;
            entries.push_back({std::string(stat.substr(open + 1, close - open - 1)),
                               static_cast<std::uint32_t>(std::strtoul(d->d_name, nullptr, 10))});
        }
        return entries;
    }
    ovin::Result terminate(const ovin::ProcessEntry&) override { return ovin::Result::failure("not in a bench"); }
};

// Microseconds per call: the best of a few runs of calls repeated for a
// while each, so that other work on a shared machine weighs little.
double microsecondsPerCall(const std::function<void()>& call)
{
    double best = 0;
    for (int run = 0; run < kMeasureRuns; ++run) {
        int rounds = 0;
        const auto start = std::chrono::steady_clock::now();
        std::chrono::duration<double, std::micro> spent{};
        do {
            call();
            ++rounds;
            spent = std::chrono::steady_clock::now() - start;
        } while (spent < kMeasureTime);
        const double perCall = spent.count() / rounds;
        best = run == 0 ? perCall : std::min(best, perCall);
    }
    return best;
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

int processCount()
{
    int count = 0;
    const std::unique_ptr<DIR, int (*)(DIR*)> proc(::opendir("/proc"), ::closedir);
    while (const dirent* d = proc ? ::readdir(proc.get()) : nullptr)
        count += d->d_name[0] >= '1' && d->d_name[0] <= '9';
    return count;
}

// Children that only wait; each dies with the bench.
class Crowd {
public:
    // A child that bears the router's name, or -1.
    pid_t router() const { return m_router; }

public:
public:
    ~Crowd()
    {
        for (const pid_t pid : m_pids)
            ::kill(pid, SIGKILL);
        for (const pid_t pid : m_pids)
            ::waitpid(pid, nullptr, 0);
    }

    // Adds children until the machine has `total` processes; false when the
    // system refused to make more.
    bool growTo(int total)
    {
        const pid_t parent = ::getpid();
        const int start = processCount();
        for (int made = 0; start + made < total && m_pids.size() < kMaxProcesses; ++made) {
            const bool router = made == (total - start) / 2 && m_router < 0;
            const pid_t pid = ::fork();
            if (pid < 0)
                return false;
            if (pid == 0) {
                ::prctl(PR_SET_PDEATHSIG, SIGKILL);
                if (::getppid() != parent)
                    ::_exit(0);
                if (router)
                    ::prctl(PR_SET_NAME, "trovan.exe");
                for (;;)
                    ::pause();
            }
            m_pids.push_back(pid);
            if (router)
                m_router = pid;
        }
        return true;
    }

    // Ends the router, so that a tick finds none.
    void endRouter()
    {
        if (m_router < 0)
            return;
        ::kill(m_router, SIGKILL);
        ::waitpid(m_router, nullptr, 0);
        std::erase(m_pids, m_router);
        m_router = -1;
    }

private:
    std::vector<pid_t> m_pids;
    pid_t m_router = -1;
};

}  // namespace

int main()
{
    ovin::LinuxProcessTable table;
    StatScanTable before;
    Crowd crowd;
    const char* const pgrep[] = {"pgrep", "-x", "trovan.exe", nullptr};
    const char* const truth[] = {"true", nullptr};
    const auto running = [](const ovin::ProcessTable& t) { return ovin::IsProcessRunning(t, "trovan.exe"); };

    // The end of a tick as the watchdog tells it, without and with the metrics file's writer listening.
    ovin::LinuxClock clock;
    ovin::LinuxFileSystem files;
    ovin::LinuxFilePublisher publisher;
    char folderTemplate[] = "/tmp/ovin-bench-XXXXXX";
    const std::string folder = ::mkdtemp(folderTemplate) ? folderTemplate : "/tmp";
    ovin::EventLog log(files, clock, folder + "/");
    ovin::RouterRecord quiet(clock);
    ovin::RouterRecord metered(clock);
    ovin::MetricsExporter metrics(publisher, clock, log, folder + "/ovin.prom", {"bench", folder});
    metered.addListener(metrics);
    const auto tick = [&](ovin::RouterRecord& record) {
        const bool up = running(table);
        record.tickEnded(0, 5, 0, up);
    };

    struct Row {
        int processes;
        double idleNow, idleBefore, scanNow, scanBefore, pgrepCall, pgrepScan, idleOff, idleOn;
        bool routerSeen;
    };
    std::vector<Row> rows;
    for (const int size : kMachineSizes) {
        if (!crowd.growTo(size))
            std::printf("(the system would not make more than %d processes)\n", processCount());
        Row row{};
        row.processes = processCount();
        // An idle tick: the router runs.
        row.routerSeen = running(table) && running(before);
        row.idleNow = microsecondsPerCall([&] { running(table); });
        row.idleBefore = microsecondsPerCall([&] { running(before); });
        row.idleOff = microsecondsPerCall([&] { tick(quiet); });
        row.idleOn = microsecondsPerCall([&] { tick(metered); });
        // No router: the whole table is looked through.
        crowd.endRouter();
        row.scanNow = microsecondsPerCall([&] { running(table); });
        row.scanBefore = microsecondsPerCall([&] { running(before); });
        bool spawned = true;
        double spawnCall = 0;
        for (int i = 0; i < kSpawnRounds; ++i) {
            const auto t0 = std::chrono::steady_clock::now();
            spawned = run(pgrep) && spawned;
            const auto t1 = std::chrono::steady_clock::now();
            spawned = run(truth) && spawned;
            const auto t2 = std::chrono::steady_clock::now();
            row.pgrepCall += std::chrono::duration<double, std::micro>(t1 - t0).count() / kSpawnRounds;
            spawnCall += std::chrono::duration<double, std::micro>(t2 - t1).count() / kSpawnRounds;
        }
        row.pgrepScan = spawned ? row.pgrepCall - spawnCall : -1;
        rows.push_back(row);
    }

    std::printf("IsProcessRunning(\"trovan.exe\"), microseconds per call (a watch tick makes one)\n");
    std::printf("%10s | %10s %10s %7s | %10s %10s %7s | %10s %10s\n", "processes", "idle tick", "before", "ratio",
                "no router", "before", "ratio", "pgrep -x", "its scan");
    for (const Row& r : rows) {
        std::printf("%10d | %10.0f %10.0f %7.3f | %10.0f %10.0f %7.3f | %10.0f %10.0f\n", r.processes, r.idleNow,
                    r.idleBefore, r.idleNow / r.idleBefore, r.scanNow, r.scanBefore, r.scanNow / r.scanBefore,
                    r.pgrepCall, r.pgrepScan);
        if (!r.routerSeen)
            std::printf("  (the router was not seen: the idle tick's figures are those of a whole scan)\n");
    }
    std::printf("\nan idle tick's look-up and end, microseconds, without and with the metrics file\n");
    std::printf("%10s | %10s %10s %7s\n", "processes", "off", "on", "ratio");
    for (const Row& r : rows)
        std::printf("%10d | %10.1f %10.1f %7.3f\n", r.processes, r.idleOff, r.idleOn, r.idleOn / r.idleOff);
    ovin::MetricsSnapshot values = ovin::MetricsSnapshot::of(metered);
    std::size_t made = 0;
    const double format = microsecondsPerCall([&] { made += ovin::MetricsText(values, {"bench", folder}).size(); });
    std::printf("the file's text (%zu bytes), made every 15 s or on a change: %.1f microseconds\n\n",
                ovin::MetricsText(values, {"bench", folder}).size(), made > 0 ? format : 0.0);
    metered.removeListener(metrics);
    const Row& busiest = rows.back();
    std::printf("a tick a second at %d processes: %.3f %% of a core while the router runs, %.3f %% before\n",
                busiest.processes, busiest.idleNow / (kTickSeconds * 1e4), busiest.idleBefore / (kTickSeconds * 1e4));
    std::printf("idle tick: the router's process is looked at first; no router: the comm entry of every\n"
                "process, the state only of a name that matches; before: the stat entry of every process\n");
    std::filesystem::remove_all(folder);
    return 0;
}
