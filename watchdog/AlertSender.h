#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace ovin {

class CommandRunner;
class HttpClient;

/// One alert on its way out, by the command, the web hook or both.
struct AlertDelivery {
    std::string event;
    /// The run's last alert (watchdog_end): it is tried even as the run ends.
    bool last = false;
    std::string command;  ///< empty: no command
    std::string folder;   ///< where the command runs
    std::vector<std::pair<std::string, std::string>> environment;
    std::string tail;       ///< the log's last lines for the command's file, CR LF
    std::string hook;       ///< empty: no web hook
    std::string hookShown;  ///< the hook as the log may show it
    std::string json;
};

/// The kinds of failure the log tells once an hour each.
enum class AlertFailure { HookNoAnswer, HookRefused, HookHttpError, HookOther, CommandStart, QueueFull };

/// What went wrong since the last look: the latest text of a kind and how
/// often it happened.
struct AlertFailureNote {
    AlertFailure kind;
    std::string text;
    int count = 0;
};

struct AlertTiming {
    int tryTimeoutMs = 10000;
    /// The pauses before the second and the third try.
    std::vector<int> retryPausesMs{1000, 3000};
    std::size_t queueCapacity = 16;
};

/// Delivers alerts on a thread of its own, so that a slow command start or
/// a web hook that never answers cannot hold up the watch cycle: `post`
/// only queues. A full queue drops its oldest alert and counts it.
class AlertSender {
public:
    AlertSender(HttpClient& http, CommandRunner& commands, AlertTiming timing = {});
    /// Ends the run's deliveries without waiting (`finish` with no time).
    ~AlertSender();
    AlertSender(const AlertSender&) = delete;
    AlertSender& operator=(const AlertSender&) = delete;

    /// Queues an alert; never waits for a delivery. Ignored once finished.
    void post(AlertDelivery delivery);

    /// The failures since the last call, one note per kind.
    std::vector<AlertFailureNote> takeFailures();

    /// Ends the run's deliveries within `bound`: for the first half what is
    /// queued goes on in order; then the delivery under way is given up, and
    /// what is still queued too except the run's last alert, which has the
    /// rest of the time for one try. A thread still busy after that is left
    /// to the end of the process.
    void finish(std::chrono::milliseconds bound);

    /// True while nothing is queued or under way (for tests).
    bool idle();

private:
    struct State;
    static void run(std::shared_ptr<State> state);

    std::shared_ptr<State> m_state;
    std::thread m_thread;
};

}  // namespace ovin
