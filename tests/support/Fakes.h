#pragma once

// Stand-ins for the platform and the window, so that the watchdog's logic runs
// in tests on a clock that only moves when the test says so.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/CommandRunner.h"
#include "platform/FilePublisher.h"
#include "platform/FileSystem.h"
#include "platform/HttpClient.h"
#include "platform/Launcher.h"
#include "platform/MachineName.h"
#include "platform/ProcessControl.h"
#include "platform/ProcessTable.h"
#include "platform/SystemLog.h"
#include "watchdog/WatchTimer.h"
#include "watchdog/WatchdogHost.h"

namespace ovin::test {

/// Local time that moves only when told; `sleepMs` moves it too.
class FakeClock final : public Clock {
public:
    explicit FakeClock(LocalTime start = {2026, 12, 7, 0, 15, 42, 512}) { set(start); }

    LocalTime now() const override;
    void sleepMs(int ms) override
    {
        sleeps.push_back(ms);
        advance(ms);
    }

    /// Local time read as UTC, less the offset: the fake's zone is one hour ahead unless a test says otherwise.
    std::int64_t unixMs() const override { return m_ms - std::int64_t{utcOffset} * 60000; }
    int utcOffsetMinutes() const override { return utcOffset; }

    void set(const LocalTime& t) { m_ms = localSeconds(t) * 1000 + t.millisecond; }
    void advance(std::int64_t ms) { m_ms += ms; }
    std::int64_t ms() const { return m_ms; }

    std::vector<int> sleeps;
    int utcOffset = 60;

private:
    std::int64_t m_ms = 0;
};

class FakeEventLoop;

/// A timer that fires when the fake event loop reaches its due time.
class FakeTimer final : public WatchTimer {
public:
    explicit FakeTimer(FakeEventLoop& loop) : m_loop(loop) {}

    void setInterval(int ms) override;
    int interval() const override { return m_interval; }
    void setEnabled(bool on) override;
    bool enabled() const override { return m_enabled; }
    void setOnTimer(std::function<void()> handler) override { m_handler = std::move(handler); }

    std::int64_t dueMs() const { return m_dueMs; }
    void fire();

private:
    FakeEventLoop& m_loop;
    int m_interval = 1000;
    bool m_enabled = false;
    std::int64_t m_dueMs = 0;
    std::function<void()> m_handler;
};

/// The event loop of the tests: time passes in `runFor`, timers fire in due
/// order, and `processMessages` fires what is due without waiting.
class FakeEventLoop {
public:
    explicit FakeEventLoop(FakeClock& clock) : clock(clock) {}

    FakeTimer& newTimer()
    {
        m_timers.push_back(std::make_unique<FakeTimer>(*this));
        return *m_timers.back();
    }

    /// A timer for code that owns its timers (the auto-repeat): it runs in this loop and stops when its owner
    /// drops it. Fits a TimerFactory.
    std::unique_ptr<WatchTimer> makeTimer();

    /// Fires every timer that is due now, each at most once.
    void processMessages();

    /// Lets `ms` milliseconds pass, firing timers at their due times.
    void runFor(std::int64_t ms);

    FakeClock& clock;

private:
    std::vector<std::unique_ptr<FakeTimer>> m_timers;
};

/// Files in memory, with the failures a disk can have.
class FakeFileSystem final : public FileSystem {
public:
    struct File {
        std::string content;
        std::int32_t stamp = 0x5D870000;  // some day in 2026
        bool readOnly = false;
        bool unreadable = false;
        std::int64_t version = 0;
    };

    bool fileExists(const std::string& path) const override { return files.count(path) != 0; }
    std::int32_t dateStamp(const std::string& path) const override
    {
        const auto it = files.find(path);
        return it == files.end() ? -1 : it->second.stamp;
    }
    std::optional<std::int64_t> entrySize(const std::string& path) const override
    {
        const auto it = files.find(path);
        if (it == files.end())
            return std::nullopt;
        if (sizeOverride.count(path))
            return sizeOverride.at(path);
        return static_cast<std::int64_t>(it->second.content.size());
    }
    std::optional<FileIdentity> identity(const std::string& path) const override
    {
        const auto it = files.find(path);
        if (it == files.end())
            return std::nullopt;
        return FileIdentity{1, std::hash<std::string>{}(path), static_cast<std::int64_t>(it->second.content.size()),
                            it->second.version};
    }
    Result readFile(const std::string& path, std::string& content) const override
    {
        const auto it = files.find(path);
        if (it == files.end())
            return Result::failure("No such file or directory");
        if (it->second.unreadable)
            return Result::failure("Permission denied");
        content = it->second.content;
        bytesRead += content.size();
        return {};
    }
    Result readChunks(const std::string& path, const std::function<bool(std::string_view)>& sink) const override
    {
        const auto it = files.find(path);
        if (it == files.end())
            return Result::failure("No such file or directory");
        if (it->second.unreadable)
            return Result::failure("Permission denied");
        ++streamedReads;
        if (beforeStreamedRead)
            beforeStreamedRead();
        const std::string& c = it->second.content;
        for (std::size_t at = 0; at < c.size(); at += chunkBytes) {
            const std::string_view piece = std::string_view(c).substr(at, chunkBytes);
            bytesRead += piece.size();
            if (!sink(piece))
                break;
        }
        return {};
    }
    Result replaceFile(const std::string& path, std::string_view content) override
    {
        ++replaces;
        if (failWrites)
            return Result::failure("No space left on device");
        auto& f = files[path];
        if (f.readOnly)
            return Result::failure("Permission denied");
        f.content.assign(content);
        f.version = ++m_version;
        return {};
    }
    Result appendFile(const std::string& path, std::string_view content) override
    {
        ++appends;
        const auto it = files.find(path);
        if (it == files.end())
            return Result::failure("No such file or directory");
        if (failWrites || it->second.readOnly)
            return Result::failure("No space left on device");
        it->second.content.append(content);
        it->second.version = ++m_version;
        return {};
    }
    Result copyFile(const std::string& from, const std::string& to) override
    {
        if (!files.count(from))
            return Result::failure("No such file or directory");
        if (files.count(to))
            return Result::failure("File exists");
        files[to] = files[from];
        return {};
    }
    Result makeWritable(const std::string& path) override
    {
        const auto it = files.find(path);
        if (it == files.end())
            return Result::failure("No such file or directory");
        it->second.readOnly = false;
        return {};
    }
    Result deleteFile(const std::string& path) override
    {
        const auto it = files.find(path);
        if (it == files.end())
            return Result::failure("No such file or directory");
        if (it->second.readOnly)
            return Result::failure("Permission denied");
        files.erase(it);
        return {};
    }
    char separator() const override { return '/'; }
    bool isSeparator(char c) const override { return c == '/'; }
    bool othersCanChange(const std::string& path) const override { return openToOthers.count(path) != 0; }

    /// Someone else writes the file.
    void touch(const std::string& path, std::string content)
    {
        auto& f = files[path];
        f.content = std::move(content);
        f.version = ++m_version;
    }

    std::map<std::string, File> files;
    std::map<std::string, std::int64_t> sizeOverride;
    /// Paths that another user could change.
    std::set<std::string> openToOthers;
    /// Size of the pieces of a streamed read.
    std::size_t chunkBytes = 64;
    mutable std::size_t bytesRead = 0;
    mutable int streamedReads = 0;
    /// Runs as a streamed read starts (someone writes the file meanwhile).
    std::function<void()> beforeStreamedRead;
    bool failWrites = false;
    int replaces = 0;
    int appends = 0;

private:
    std::int64_t m_version = 0;
};

/// A process list the test writes.
class FakeProcessTable final : public ProcessTable {
public:
    std::vector<ProcessEntry> snapshot() const override { return entries; }
    Result terminate(const ProcessEntry& entry) override
    {
        const auto it = std::find_if(entries.begin(), entries.end(), [&](const ProcessEntry& e) {
            return e.pid == entry.pid && e.imageName == entry.imageName;
        });
        if (it == entries.end())
            return Result::failure("No such process");
        if (vanishing.count(entry.pid)) {
            entries.erase(it);
            return Result::failure("No such process");
        }
        if (refuse)
            return Result::failure("Operation not permitted");
        terminated.push_back(*it);
        entries.erase(it);
        return {};
    }
    std::vector<ProcessEntry> entries;
    std::vector<ProcessEntry> terminated;
    bool refuse = false;
    /// Processes that end by themselves just before they are ended.
    std::set<std::uint32_t> vanishing;
};

class FakeLauncher final : public Launcher {
public:
    Result open(const std::string& executable, const std::string& workingFolder) override
    {
        opened.push_back({executable, workingFolder});
        if (onOpen)
            onOpen();
        if (fail)
            return Result::failure("No such file or directory");
        return {};
    }
    std::vector<std::pair<std::string, std::string>> opened;
    std::function<void()> onOpen;
    bool fail = false;
};

class FakeProcessControl final : public ProcessControl {
public:
    Result setOwnPriorityClass(PriorityClass cls) override
    {
        classes.push_back(cls);
        if (refuse)
            return Result::failure("Permission denied");
        return {};
    }
    std::string executablePath() const override { return "/app/ovin"; }
    std::vector<PriorityClass> classes;
    bool refuse = false;
};

/// The window side: records what the watchdog shows.
class FakeHost final : public WatchdogHost {
public:
    explicit FakeHost(FakeEventLoop* loop = nullptr) : m_loop(loop) {}

    void ProcessMessages() override
    {
        ++processMessagesCalls;
        if (onProcessMessages)
            onProcessMessages();
        if (m_loop)
            m_loop->processMessages();
    }
    bool AddTrayIcon() override
    {
        ++addTrayIconCalls;
        if (trayAnswers.empty())
            return trayAccepts;
        const bool answer = trayAnswers.front();
        trayAnswers.pop_front();
        return answer;
    }
    void SetTrayImage(int index) override { trayImages.push_back(index); }
    void SetTrayNotice(const std::string& notice) override { trayNotices.push_back(notice); }
    void setActivity(bool busy) override { activity.push_back(busy); }
    void ShowSettings() override { ++showSettingsCalls; }
    int routerWaitSeconds() override { return waitSeconds; }
    void reportError(const std::string& text) override
    {
        errors.push_back(text);
        if (onError)
            onError(text);
    }

    int processMessagesCalls = 0;
    int addTrayIconCalls = 0;
    int showSettingsCalls = 0;
    bool trayAccepts = true;
    std::deque<bool> trayAnswers;
    std::vector<int> trayImages;
    std::vector<std::string> trayNotices;
    std::vector<bool> activity;
    std::vector<std::string> errors;
    int waitSeconds = 0;
    std::function<void()> onProcessMessages;
    /// Passes a report on, as a window passes it to its own behaviour.
    std::function<void(const std::string&)> onError;

private:
    FakeEventLoop* m_loop;
};

/// A web hook in memory, called from the alert worker's thread. Answers
/// with `outcome`; while `hang` is set a post waits, as for a server that
/// never answers, until it is cleared or the post is cancelled.
class FakeHttpClient final : public HttpClient {
public:
    struct Post {
        std::string url;
        std::string body;
        int timeoutMs = 0;
    };

    HttpOutcome postJson(const std::string& url, const std::string& body, int timeoutMs,
                         const std::atomic<bool>& cancel) override
    {
        std::unique_lock lock(mutex);
        posts.push_back({url, body, timeoutMs});
        changed.notify_all();
        while (hang && !cancel)
            changed.wait_for(lock, std::chrono::milliseconds(5));
        if (cancel && hang)
            return {HttpFailure::Other, 0, "cancelled"};
        if (!outcomes.empty()) {
            const HttpOutcome o = outcomes.front();
            outcomes.pop_front();
            return o;
        }
        return outcome;
    }

    /// Waits (a real, bounded time) until `n` posts came.
    bool waitForPosts(std::size_t n, std::chrono::milliseconds timeout = std::chrono::seconds(5))
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return posts.size() >= n; });
    }
    std::vector<Post> taken()
    {
        const std::lock_guard lock(mutex);
        return posts;
    }
    void setHang(bool on)
    {
        const std::lock_guard lock(mutex);
        hang = on;
        changed.notify_all();
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Post> posts;
    HttpOutcome outcome;
    /// Answers for the next posts, before `outcome`.
    std::deque<HttpOutcome> outcomes;
    bool hang = false;
};

/// The alert command in memory, called from the alert worker's thread.
class FakeCommandRunner final : public CommandRunner {
public:
    struct Run {
        std::string program;
        std::string folder;
        std::vector<std::pair<std::string, std::string>> environment;
        std::string tailVariable;
        std::string tail;

        std::string env(const std::string& name) const
        {
            for (const auto& [n, v] : environment) {
                if (n == name)
                    return v;
            }
            return "<unset>";
        }
    };

    Result start(const std::string& program, const std::string& folder,
                 const std::vector<std::pair<std::string, std::string>>& environment, const std::string& tailVariable,
                 const std::string& tailText) override
    {
        const std::lock_guard lock(mutex);
        runs.push_back({program, folder, environment, tailVariable, tailText});
        changed.notify_all();
        if (fail)
            return Result::failure("Permission denied");
        return {};
    }
    bool waitForRuns(std::size_t n, std::chrono::milliseconds timeout = std::chrono::seconds(5))
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return runs.size() >= n; });
    }
    std::vector<Run> taken()
    {
        const std::lock_guard lock(mutex);
        return runs;
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Run> runs;
    bool fail = false;
};

class FakeMachineName final : public MachineName {
public:
    std::string machineName() const override { return name; }
    std::string name = "smerovac-7";
};

/// Published files in memory; the folders it accepts are listed. Called from
/// a worker thread, so everything it keeps is behind a lock.
class FakePublisher final : public FilePublisher {
public:
    struct Write {
        std::string path;
        std::string bytes;
    };

    Result checkFolder(const std::string& folder) const override
    {
        return usableFolders.count(folder) ? Result{} : Result::failure("Adresar neexistuje");
    }
    Result publish(const std::string& path, std::string_view bytes) override
    {
        std::unique_lock lock(m_mutex);
        m_gateOpen.wait(lock, [this] { return !m_held; });
        if (!m_error.empty())
            return Result::failure(m_error);
        m_writes.push_back({path, std::string(bytes)});
        return {};
    }

    /// Every publish fails with `error` until it is set empty.
    void failWith(std::string error)
    {
        const std::lock_guard lock(m_mutex);
        m_error = std::move(error);
    }
    /// A slow disk: publishes wait while held.
    void hold(bool held)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_held = held;
        }
        m_gateOpen.notify_all();
    }
    std::vector<Write> writes() const
    {
        const std::lock_guard lock(m_mutex);
        return m_writes;
    }

    std::set<std::string> usableFolders;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_gateOpen;
    bool m_held = false;
    std::string m_error;
    std::vector<Write> m_writes;
};

/// The system log's lines as they were handed over.
class FakeSystemLog final : public SystemLog {
public:
    struct Line {
        std::string message;
        SystemLogLevel level;
        SystemLogEvent event;
        bool operator==(const Line&) const = default;
        friend void PrintTo(const Line& line, std::ostream* out)
        {
            *out << '{' << line.message << ", level " << static_cast<int>(line.level) << ", event "
                 << static_cast<int>(line.event) << '}';
        }
    };
    void write(std::string_view message, SystemLogLevel level, SystemLogEvent event) override
    {
        lines.push_back({std::string(message), level, event});
    }
    std::vector<Line> lines;
};

}  // namespace ovin::test
