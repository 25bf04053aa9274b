#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/SystemLog.h"

namespace ovin {

/// Hands lines to the system log on a thread of its own. The system log can
/// stall (a busy journald or event log service stops reading, and a send to
/// it then waits); the watch tick must not wait with it. Lines wait in a
/// queue of bounded length; what does not fit is counted and its number
/// told to the system log once it takes lines again.
class SystemLogQueue final : public SystemLog {
public:
    static constexpr std::size_t kCapacityLines = 1000;
    /// How long the end of the program waits for lines still queued.
    static constexpr int kFlushMs = 2000;

    explicit SystemLogQueue(SystemLog& target, std::size_t capacity = kCapacityLines, int flushMs = kFlushMs);
    /// Waits up to `flushMs` for the queue to empty; a system log that still
    /// does not take lines then keeps the thread, which ends without
    /// touching it again.
    ~SystemLogQueue() override;
    SystemLogQueue(const SystemLogQueue&) = delete;
    SystemLogQueue& operator=(const SystemLogQueue&) = delete;

    /// Queues the line; returns at once.
    void write(std::string_view message, SystemLogLevel level, SystemLogEvent event) override;

    /// Waits until every queued line was handed on (for a test's checks).
    void drain();

private:
    struct Line {
        std::string message;
        SystemLogLevel level;
        SystemLogEvent event;
    };
    // Shared with the thread, which may outlive the queue when the system log hangs at the end.
    struct State {
        std::mutex mutex;
        std::condition_variable wake;
        std::condition_variable idle;
        std::deque<Line> lines;
        std::size_t lost = 0;
        bool busy = false;
        bool stop = false;
        bool abandoned = false;
    };
    static void run(SystemLog& target, std::shared_ptr<State> state);

    const std::size_t m_capacity;
    const int m_flushMs;
    std::shared_ptr<State> m_state;
    std::thread m_thread;
};

}  // namespace ovin
