#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <regex>

#include "support/E2eSupport.h"

// The watchdog seen from a fleet: the real Prometheus node exporter scrapes its metrics file while the real
// watchdog and the stand-in router go through a failed launch, a stall and a crash, and the watchdog's lines reach a
// system log listener of the test's own.

namespace ovin::e2e {
namespace {

constexpr const char* kNodeExporter = "/usr/bin/prometheus-node-exporter";
constexpr const char* kPromtool = "/usr/bin/promtool";

// Runs the watchdog in a mount namespace of its own whose /dev holds the real devices and, as "log", the test's
// socket: glibc's syslog(3) always sends to /dev/log.
constexpr const char* kOwnDevLog = R"(set -e
dev=$1; sock=$2; shift 2
mkdir "$dev/real" "$dev/own"
mount --rbind /dev "$dev/real"
for e in "$dev"/real/* "$dev"/real/.[!.]*; do
  if [ -e "$e" ] || [ -L "$e" ]; then ln -s "$e" "$dev/own/"; fi
done
rm -f "$dev/own/log"
ln -s "$sock" "$dev/own/log"
mount --bind "$dev/own" /dev
exec "$@"
)";

bool canUseMountNamespace() { return getuid() == 0 && std::system("unshare -m true 2>/dev/null") == 0; }

// A syslog listener: the datagrams of the watchdog's syslog(3) calls.
class DevLog {
public:
    explicit DevLog(fs::path path) : m_path(std::move(path))
    {
        m_fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", m_path.c_str());
        if (m_fd < 0 || bind(m_fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0)
            throw std::runtime_error("cannot listen on " + m_path.string());
    }
    ~DevLog() { close(m_fd); }
    DevLog(const DevLog&) = delete;
    DevLog& operator=(const DevLog&) = delete;

    const fs::path& path() const { return m_path; }

    /// Takes what has arrived, without waiting.
    const std::vector<std::string>& messages()
    {
        for (;;) {
            pollfd p{m_fd, POLLIN, 0};
            if (poll(&p, 1, 0) <= 0)
                break;
            char buffer[4096];
            const ssize_t n = recv(m_fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            m_messages.emplace_back(buffer, static_cast<std::size_t>(n));
        }
        return m_messages;
    }

private:
    fs::path m_path;
    int m_fd = -1;
    std::vector<std::string> m_messages;
};

int freePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    close(fd);
    return ntohs(addr.sin_port);
}

// The body of GET /metrics, or empty when the exporter does not answer within a second.
std::string scrape(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string reply;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0) {
        const std::string request = "GET /metrics HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
        if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
            const auto until = std::chrono::steady_clock::now() + 1s;
            while (std::chrono::steady_clock::now() < until) {
                pollfd p{fd, POLLIN, 100};
                if (poll(&p, 1, 100) <= 0)
                    continue;
                char buffer[8192];
                const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
                if (n <= 0)
                    break;
                reply.append(buffer, static_cast<std::size_t>(n));
            }
        }
    }
    close(fd);
    const auto body = reply.find("\r\n\r\n");
    return reply.rfind("HTTP/1.", 0) == 0 && reply.find(" 200 ") != std::string::npos && body != std::string::npos
               ? reply.substr(body + 4)
               : std::string();
}

// The samples of the watchdog's own metrics in a scrape: name (with labels) to value.
std::map<std::string, std::string> ovinSamples(const std::string& scraped)
{
    std::map<std::string, std::string> samples;
    std::istringstream in(scraped);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("ovin_", 0) != 0)
            continue;
        const auto space = line.rfind(' ');
        samples[line.substr(0, space)] = line.substr(space + 1);
    }
    return samples;
}

// What promtool's lint says of a metrics text (nothing when it finds no fault), with its exit code.
std::string promtoolSays(const fs::path& file)
{
    const std::string command = std::string(kPromtool) + " check metrics < '" + file.string() + "' 2>&1; echo rc=$?";
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe))
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

class Fleet : public ::testing::Test {
protected:
    Fleet()
    {
        folder = fs::canonical(dir.path()).string() + "/";
        fs::create_directory(metrics);
        fs::create_directory(dev);
    }
    ~Fleet() override { killProcessesIn(dir.path()); }

    std::vector<std::string> log() const { return messages(readFile(dir / monthFileName())); }
    int logged(const std::string& line) const
    {
        const auto l = log();
        return static_cast<int>(std::count(l.begin(), l.end(), line));
    }
    int loggedStarting(const std::string& start) const
    {
        int n = 0;
        for (const std::string& line : log())
            n += line.rfind(start, 0) == 0 ? 1 : 0;
        return n;
    }
    int routerStarts(const std::string& mode) const
    {
        return countOf(fs::exists(dir / "trovan.log") ? readFile(dir / "trovan.log") : "", "start " + mode + "\n");
    }

    TempFolder dir;
    fs::path exe = installOvin(dir.path());
    std::string folder;
    fs::path metrics = dir / "metriky";
    fs::path dev = dir / "dev";
};

TEST_F(Fleet, TheNodeExporterScrapesCountersThatMatchTheLogAndTheSystemLogGetsEveryLine)
{
    const bool ownDevLog = canUseMountNamespace();
    writeFile(dir / "ovin.ini", "[conf]\r\nZobrazitIkonu=0\r\nHlidatZdaTrovanJede=1\r\nInterval=1000\r\n"
                                "CekaniNaTrovan=1\r\nMazatRequest=1\r\nMaxStejnyRequest=3\r\n"
                                "[dohled]\r\nMetriky=" +
                                    metrics.string() + "\r\nSystemovyLog=1\r\n");
    writeFile(dir / "trovan.mode", "stall");
    const int port = freePort();
    Process exporter(kNodeExporter,
                     {"--collector.disable-defaults", "--collector.textfile",
                      "--collector.textfile.directory=" + metrics.string(),
                      "--web.listen-address=127.0.0.1:" + std::to_string(port)},
                     dir.path());
    std::optional<DevLog> devLog;
    std::optional<Process> ovin;
    if (ownDevLog) {
        devLog.emplace(dir / "log.sock");
        ovin.emplace("/usr/bin/unshare",
                     std::vector<std::string>{"-m", "--propagation", "private", "/bin/sh", "-c", kOwnDevLog, "own-dev",
                                              dev.string(), devLog->path().string(), exe.string()},
                     dir.path());
    } else {
        ovin.emplace(exe, std::vector<std::string>{}, dir.path());
    }

    // No router to start at first: a launch that fails. Then a router that stalls and is ended, one that
    // crashes, and one that works.
    const std::string missing = "Nelze spustit Trovan - soubor nenalezen " + folder + "trovan.exe";
    ASSERT_TRUE(waitFor([&] { return logged(missing) == 1; }, 15s));
    installRouter(dir.path());
    ASSERT_TRUE(waitFor([&] { return routerStarts("stall") == 1; }, 10s)) << readFile(dir / monthFileName());
    writeFile(dir / "trovan.mode", "crash life=1500");
    ASSERT_TRUE(waitFor([&] { return logged("Ukoncuji Trovan") == 1 && routerStarts("crash") == 1; }, 20s))
        << readFile(dir / monthFileName());
    writeFile(dir / "trovan.mode", "normal");
    ASSERT_TRUE(waitFor([&] { return routerStarts("normal") == 1 && logged("Trovan spusten") == 3; }, 15s))
        << readFile(dir / monthFileName());

    // The log's own account: every attempt that did not follow the first start, the failed launch or the kill
    // found a crash.
    const int stalls = loggedStarting("Prekrocen limit stari souboru");
    const int kills = logged("Ukoncuji Trovan");
    const int launches = logged("Trovan spusten");
    const int failures = loggedStarting("Nelze spustit Trovan");
    const int attempts = logged("Trovan neni spusten - pokusim se ho spustit");
    const int crashes = attempts - 1 - failures - kills;
    EXPECT_EQ(std::vector<int>({stalls, kills, launches, failures, crashes}), std::vector<int>({1, 1, 3, 1, 1}));

    std::map<std::string, std::string> seen;
    const bool matched = waitFor(
        [&] {
            seen = ovinSamples(scrape(port));
            return seen["ovin_router_up"] == "1" && seen["ovin_router_stalls_total"] == std::to_string(stalls) &&
                   seen["ovin_router_kills_total"] == std::to_string(kills) &&
                   seen["ovin_router_launches_total"] == std::to_string(launches) &&
                   seen["ovin_router_launch_failures_total"] == std::to_string(failures) &&
                   seen["ovin_router_crashes_total"] == std::to_string(crashes);
        },
        20s);
    std::string shown;
    for (const auto& [name, value] : seen)
        shown += name + " " + value + "\n";
    ASSERT_TRUE(matched) << shown;
    EXPECT_EQ(seen["ovin_router_stall_limit"], "3");
    EXPECT_EQ(seen["ovin_watchdog_info{folder=\"" + folder.substr(0, folder.size() - 1) + "\",version=\"3.3\"}"], "1")
        << "the exporter sorts the labels";
    EXPECT_GT(std::stod(seen["ovin_router_downtime_seconds_total"]), 0.0);
    const double started = std::stod(seen["ovin_watchdog_start_time_seconds"]);
    const double ticked = std::stod(seen["ovin_watchdog_last_tick_timestamp_seconds"]);
    const double launched = std::stod(seen["ovin_router_last_launch_timestamp_seconds"]);
    EXPECT_LT(started, launched);
    EXPECT_LE(launched, ticked);
    EXPECT_NEAR(ticked, static_cast<double>(std::time(nullptr)), 20.0);
    EXPECT_EQ(seen.count("ovin_router_next_launch_timestamp_seconds"), 0u) << "no pause between restarts";

    const std::string lint = promtoolSays(metrics / "ovin.prom");
    EXPECT_EQ(lint, "rc=0\n");
    const std::string text = readFile(metrics / "ovin.prom");
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_FALSE(fs::exists(metrics / ".ovin.prom.tmp")) << "no write left half done";

    if (!devLog)
        GTEST_SKIP() << "no mount namespace here (needs root): the system log was not checked";
    // The listener reads only now: its socket took ten lines and then stopped the sender, as a stuck journald
    // would, and the watchdog went on all the same; the lines waited for it.
    constexpr int kUserErr = 8 + 3, kUserWarning = 8 + 4, kUserInfo = 8 + 6;
    // "<priority>timestamp ovin[pid]: message", LOG_USER (8) plus the level.
    const std::string ident = "ovin[" + std::to_string(ovin->pid()) + "]: ";
    const std::regex format(R"(<(\d+)>\w{3} [ \d]\d \d\d:\d\d:\d\d (ovin\[\d+\]: )(.*))");
    std::vector<std::pair<int, std::string>> received;
    ASSERT_TRUE(waitFor(
        [&] {
            received.clear();
            for (const std::string& m : devLog->messages()) {
                std::smatch match;
                if (std::regex_match(m, match, format) && match[2] == ident)
                    received.emplace_back(std::stoi(match[1]), match[3]);
            }
            return std::count(received.begin(), received.end(),
                              std::make_pair(kUserInfo, std::string("Trovan spusten"))) == launches;
        },
        5s));
    auto priorityOf = [&](const std::string& message) {
        for (const auto& [priority, text] : received) {
            if (text == message)
                return priority;
        }
        return -1;
    };
    EXPECT_EQ(priorityOf(missing), kUserErr);
    EXPECT_EQ(priorityOf("Prekrocen limit stari souboru 3"), kUserWarning);
    EXPECT_EQ(priorityOf("Ukoncuji Trovan"), kUserWarning);
    EXPECT_EQ(priorityOf("Trovan spusten"), kUserInfo);
    EXPECT_EQ(priorityOf("Čekám na spuštění Trovan 1 s"), kUserInfo) << "UTF-8 as it is";
    int crashWarnings = 0;
    for (const auto& [priority, text] : received)
        crashWarnings += text == "Trovan neni spusten - pokusim se ho spustit" && priority == kUserWarning;
    EXPECT_EQ(crashWarnings, crashes);
    // Every timestamped line of the log went there too, in the same order.
    std::vector<std::string> timed;
    for (const std::string& line : lines(readFile(dir / monthFileName()))) {
        if (line.size() > 15 && line[0] == '[' && line[13] == ']')
            timed.push_back(line.substr(15));
    }
    std::vector<std::string> sent;
    for (const auto& [priority, text] : received)
        sent.push_back(text);
    ASSERT_LE(sent.size(), timed.size());
    EXPECT_TRUE(contains(timed, sent)) << "the system log's lines are the log's own";
}

}  // namespace
}  // namespace ovin::e2e
