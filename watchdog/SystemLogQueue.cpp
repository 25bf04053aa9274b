#include "SystemLogQueue.h"
#include "settings/Texts.h"

#include <chrono>
#include <utility>

namespace ovin {

SystemLogQueue::SystemLogQueue(SystemLog& target, std::size_t capacity, int flushMs)
    : m_capacity(capacity),
      m_flushMs(flushMs),
      m_state(std::make_shared<State>()),
      m_thread(run, std::ref(target), m_state)
{
}

SystemLogQueue::~SystemLogQueue()
{
    std::unique_lock lock(m_state->mutex);
    m_state->stop = true;
    m_state->wake.notify_one();
    const bool flushed = m_state->idle.wait_for(lock, std::chrono::milliseconds(m_flushMs),
                                                [this] { return m_state->lines.empty() && !m_state->busy; });
    if (!flushed) {
        m_state->abandoned = true;
        lock.unlock();
        m_thread.detach();
        return;
    }
    lock.unlock();
    m_thread.join();
}

void SystemLogQueue::write(std::string_view message, SystemLogLevel level, SystemLogEvent event)
{
    {
        const std::lock_guard lock(m_state->mutex);
        if (m_state->lines.size() >= m_capacity) {
            ++m_state->lost;
            return;
        }
        m_state->lines.push_back({std::string(message), level, event});
    }
    m_state->wake.notify_one();
}

void SystemLogQueue::drain()
{
    std::unique_lock lock(m_state->mutex);
    m_state->idle.wait(lock, [this] { return m_state->lines.empty() && !m_state->busy; });
}

void SystemLogQueue::run(SystemLog& target, std::shared_ptr<State> state)
{
    std::unique_lock lock(state->mutex);
    for (;;) {
        state->wake.wait(lock, [&] { return !state->lines.empty() || state->stop; });
        if (state->abandoned || state->lines.empty())
            return;
        Line line = std::move(state->lines.front());
        state->lines.pop_front();
        const std::size_t lost = std::exchange(state->lost, 0);
        state->busy = true;
        lock.unlock();
        if (lost > 0)
            target.write(texts::kSystemLogLost + std::to_string(lost), SystemLogLevel::Warning,
                         SystemLogEvent::Warning);
        target.write(line.message, line.level, line.event);
        lock.lock();
        state->busy = false;
        if (state->lines.empty())
            state->idle.notify_all();
    }
}

}  // namespace ovin
