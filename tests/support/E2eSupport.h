#pragma once

// Runs the real program in a folder of its own, on real files.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/WaitFor.h"

namespace ovin::e2e {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

/// A fresh folder that is removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& path() const { return m_path; }
    fs::path operator/(const std::string& name) const { return m_path / name; }

private:
    fs::path m_path;
};

class XServer;

/// A started program; killed at the end if it still runs.
class Process {
public:
    /// Starts `exe` with `args` in `folder`, without a display (offscreen).
    Process(const fs::path& exe, const std::vector<std::string>& args, const fs::path& folder,
            const std::vector<std::string>& extraEnv = {});
    /// The same on a real display: the program gets `DISPLAY` and no
    /// offscreen platform.
    Process(const fs::path& exe, const std::vector<std::string>& args, const fs::path& folder, const XServer& x);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t pid() const { return m_pid; }
    void signal(int sig) const;
    /// The exit code, or nothing when it did not end within `timeout` (a
    /// death by a signal gives 128 + the signal).
    std::optional<int> waitExit(std::chrono::milliseconds timeout);

private:
    pid_t m_pid = -1;
    bool m_reaped = false;
};

/// A virtual X display of its own (Xvfb), for what needs a real desktop.
class XServer {
public:
    XServer();
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    /// The DISPLAY value, e.g. ":42".
    const std::string& display() const { return m_display; }
    std::string env() const { return "DISPLAY=" + m_display; }
    /// Runs a command line against this display; its standard output.
    std::string run(const std::string& command) const;
    /// True when a window with that exact title is mapped.
    bool windowVisible(const std::string& title) const;

    struct Pixel {
        int x, y, r, g, b;
    };
    /// The screen's pixels in a rectangle, read with ImageMagick.
    std::vector<Pixel> grab(int x, int y, int width, int height) const;

private:
    pid_t m_pid = -1;
    std::string m_display;
};

using test::waitFor;

std::string readFile(const fs::path& path);
void writeFile(const fs::path& path, const std::string& content);

/// Copies the built program (and, when asked, the stand-in router) into a
/// folder, as a user would install it.
fs::path installOvin(const fs::path& folder);
/// The same with the build whose log holds 64 KiB.
fs::path installSmallLogOvin(const fs::path& folder);
constexpr std::size_t kSmallLogCapacity = 65536;
fs::path installRouter(const fs::path& folder);

/// The running processes whose executable lies in `folder`.
std::vector<pid_t> processesIn(const fs::path& folder);

/// The state letter of a process ('Z' for a zombie), or 0 when it is gone.
char processState(pid_t pid);

/// The parent of a process, or 0 when it is gone.
pid_t parentOf(pid_t pid);

/// Kills every process whose executable lies in `folder`.
void killProcessesIn(const fs::path& folder);

/// This month's log file name, as the program names it.
std::string monthFileName();

/// How often `needle` stands in `text`.
int countOf(const std::string& text, const std::string& needle);

/// The lines of a CR LF text, without their line breaks.
std::vector<std::string> lines(const std::string& text);

/// The lines of a log without their time stamps; untimed lines as they are.
std::vector<std::string> messages(const std::string& text);

/// True when `sequence` stands in `haystack` as consecutive lines.
bool contains(const std::vector<std::string>& haystack, const std::vector<std::string>& sequence);

}  // namespace ovin::e2e
