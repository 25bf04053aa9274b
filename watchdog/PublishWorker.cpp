#include "PublishWorker.h"

#include <utility>

#include "platform/FilePublisher.h"

namespace ovin {

PublishWorker::PublishWorker(FilePublisher& publisher, std::string path)
    : m_publisher(publisher), m_path(std::move(path)), m_thread([this] { run(); })
{
}

PublishWorker::~PublishWorker()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void PublishWorker::hand(std::string text)
{
    {
        const std::lock_guard lock(m_mutex);
        m_pending = std::move(text);
    }
    m_wake.notify_one();
}

std::optional<Result> PublishWorker::takeOutcome()
{
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_outcome, std::nullopt);
}

void PublishWorker::drain()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return !m_pending && !m_busy; });
}

void PublishWorker::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_pending || m_stop; });
        if (!m_pending)
            return;
        std::string text = std::move(*m_pending);
        m_pending.reset();
        m_busy = true;
        lock.unlock();
        Result written = m_publisher.publish(m_path, text);
        lock.lock();
        m_busy = false;
        m_outcome = std::move(written);
        m_idle.notify_all();
    }
}

}  // namespace ovin
