#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "watchdog/SystemLogQueue.h"

namespace ovin {
namespace {

// A system log that stops taking lines while held, as a journald or an event log service that stopped reading.
class StallingSystemLog final : public SystemLog {
public:
    void write(std::string_view message, SystemLogLevel, SystemLogEvent) override
    {
        std::unique_lock lock(m_mutex);
        m_entered.notify_all();
        ++m_calls;
        m_released.wait(lock, [this] { return !m_held; });
        m_lines.emplace_back(message);
    }
    void hold(bool held)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_held = held;
        }
        m_released.notify_all();
    }
    // Until a write waits inside.
    void waitForCall(int calls)
    {
        std::unique_lock lock(m_mutex);
        m_entered.wait(lock, [&] { return m_calls >= calls; });
    }
    std::vector<std::string> lines()
    {
        const std::lock_guard lock(m_mutex);
        return m_lines;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_released;
    std::condition_variable m_entered;
    bool m_held = false;
    int m_calls = 0;
    std::vector<std::string> m_lines;
};

TEST(SystemLogQueue, AStalledSystemLogNeitherHoldsTheLoggerNorGrowsTheQueueAndHearsWhatWasLeftOut)
{
    StallingSystemLog target;
    target.hold(true);
    SystemLogQueue queue(target, 3);
    queue.write("a", SystemLogLevel::Info, SystemLogEvent::Line);
    target.waitForCall(1);
    for (const char* line : {"b", "c", "d", "e", "f"})
        queue.write(line, SystemLogLevel::Info, SystemLogEvent::Line);
    target.hold(false);
    queue.drain();
    queue.write("g", SystemLogLevel::Warning, SystemLogEvent::Warning);
    queue.drain();
    EXPECT_EQ(target.lines(),
              (std::vector<std::string>{"a", "Systemovy log nestihal - vynechano radku: 2", "b", "c", "d", "g"}));
}

TEST(SystemLogQueue, TheEndWaitsABoundedTimeForASystemLogThatNeverTakesTheLine)
{
    // Lives to the end of the tests: the queue's thread is still inside it when the queue is gone.
    static StallingSystemLog target;
    target.hold(true);
    const auto started = std::chrono::steady_clock::now();
    {
        SystemLogQueue queue(target, 10, 100);
        queue.write("a", SystemLogLevel::Info, SystemLogEvent::Line);
        target.waitForCall(1);
        queue.write("b", SystemLogLevel::Info, SystemLogEvent::Line);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    target.hold(false);
}

}  // namespace
}  // namespace ovin
