// Stand-in for the router program "trovan.exe", the program the watchdog
// keeps alive, so that the watchdog can be shown and tested without the real
// router. It works in its working folder (the watchdog starts it in its own).
//
// Its behaviour comes from the file "trovan.mode" in that folder: words
// separated by blanks or line breaks, the first one a mode, the others
// optional settings "name=number". Without the file it works normally.
//
//   normal  Writes request.cfg anew every `period` ms (default 400, varied by
//           up to 100 either way), each time with another size; after
//           `writes` writes (default 6) deletes it and stays away for `gap` ms
//           (default 1500), longer than a tick of the watchdog, so that a
//           tick finds the file absent; then starts over.
//   stall   Writes request.cfg once, `lines` lines (default 3), and then
//           never touches it again while it stays alive: a stuck router.
//   crash   Works normally, then ends with exit code 3 after `life` ms
//           (default 2000).
//   slow    Sleeps `delay` ms (default 3000) before it starts working.
//   dead    Ends at once with exit code 3, before it writes anything: a
//           router that cannot come up.
//
// `life=MS` ends any mode after that long (default: never, except crash).
// A request file left by an earlier run may be there or not; it is simply
// written over (a read-only one is removed first). Each start appends the
// line "start MODE" to "trovan.log" in the working folder, so that a test can
// count the starts.

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kModeFile = "trovan.mode";
constexpr const char* kStartLog = "trovan.log";
constexpr const char* kRequestFile = "request.cfg";
constexpr int kCrashExitCode = 3;
constexpr long kDefaultCrashLifeMs = 2000;

struct Mode {
    std::string name = "normal";
    std::map<std::string, long> values;

    long get(const std::string& key, long fallback) const
    {
        const auto it = values.find(key);
        return it == values.end() ? fallback : it->second;
    }
};

Mode readMode()
{
    Mode mode;
    std::ifstream in(kModeFile);
    std::string word;
    if (in >> word)
        mode.name = word;
    while (in >> word) {
        const auto eq = word.find('=');
        if (eq == std::string::npos)
            continue;
        try {
            mode.values[word.substr(0, eq)] = std::stol(word.substr(eq + 1));
        } catch (const std::exception&) {
            // An unreadable number leaves the default in place.
        }
    }
    return mode;
}

void writeRequest(const std::string& content)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto perms = fs::status(kRequestFile, ec).permissions();
    if (!ec && (perms & fs::perms::owner_write) == fs::perms::none)
        fs::remove(kRequestFile, ec);
    std::ofstream out(kRequestFile, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string requestLines(long first, long count)
{
    std::ostringstream text;
    for (long i = 0; i < count; ++i)
        text << "request " << first << " line " << i + 1 << "\r\n";
    return text.str();
}

class Router {
public:
    explicit Router(const Mode& mode) : m_mode(mode), m_start(Clock::now())
    {
        const long defaultLife = mode.name == "crash" ? kDefaultCrashLifeMs : 0;
        m_lifeMs = mode.get("life", defaultLife);
    }

    // Sleeps, but not past the end of the router's life.
    void sleepMs(long ms)
    {
        const auto until = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < until) {
            if (over())
                end();
            std::this_thread::sleep_for(std::min<Clock::duration>(until - Clock::now(), std::chrono::milliseconds(50)));
        }
        if (over())
            end();
    }

    void run()
    {
        if (m_mode.name == "slow")
            sleepMs(m_mode.get("delay", 3000));
        if (m_mode.name == "stall") {
            writeRequest(requestLines(1, m_mode.get("lines", 3)));
            for (;;)
                sleepMs(1000);
        }
        const long period = m_mode.get("period", 400);
        const long writes = m_mode.get("writes", 6);
        for (long round = 0;; ++round) {
            // Sizes grow with each write of a round, so two ticks never see
            // one size twice within it.
            for (long n = 1; n <= writes; ++n) {
                writeRequest(requestLines(round, n));
                sleepMs(period - 100 + (round * 37 + n * 53) % 201);
            }
            std::error_code ec;
            std::filesystem::remove(kRequestFile, ec);
            sleepMs(m_mode.get("gap", 1500));
        }
    }

private:
    bool over() const { return m_lifeMs > 0 && Clock::now() - m_start >= std::chrono::milliseconds(m_lifeMs); }

    [[noreturn]] void end() const { std::exit(m_mode.name == "crash" ? kCrashExitCode : 0); }

    const Mode& m_mode;
    Clock::time_point m_start;
    long m_lifeMs = 0;
};

}  // namespace

int main()
{
    const Mode mode = readMode();
    std::ofstream(kStartLog, std::ios::app) << "start " << mode.name << "\n";
    if (mode.name == "dead")
        return kCrashExitCode;
    Router router(mode);
    router.run();
}
