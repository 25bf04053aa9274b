#include "PublishWorker.h"

#include <chrono>
#include <utility>

#include "platform/FilePublisher.h"

namespace ovin {

PublishWorker::PublishWorker(FilePublisher& publisher, std::string path, int flushMs)
    : m_flushMs(flushMs), m_state(std::make_shared<State>(std::move(path))), m_thread(run, std::ref(publisher), m_state)
{
}

PublishWorker::~PublishWorker()
{
    std::unique_lock lock(m_state->mutex);
    m_state->stop = true;
    m_state->wake.notify_one();
    const bool flushed = m_state->idle.wait_for(lock, std::chrono::milliseconds(m_flushMs),
                                                [this] { return !m_state->pending && !m_state->busy; });
    if (!flushed) {
        m_state->abandoned = true;
        lock.unlock();
        m_thread.detach();
        return;
    }
    lock.unlock();
    m_thread.join();
}

void PublishWorker::hand(std::string text)
{
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->pending = std::move(text);
    }
    m_state->wake.notify_one();
}

std::optional<Result> PublishWorker::takeOutcome()
{
    const std::lock_guard lock(m_state->mutex);
    return std::exchange(m_state->outcome, std::nullopt);
}

void PublishWorker::drain()
{
    std::unique_lock lock(m_state->mutex);
    m_state->idle.wait(lock, [this] { return !m_state->pending && !m_state->busy; });
}

void PublishWorker::run(FilePublisher& publisher, std::shared_ptr<State> state)
{
    std::unique_lock lock(state->mutex);
    for (;;) {
        state->wake.wait(lock, [&] { return state->pending || state->stop; });
        if (state->abandoned || !state->pending)
            return;
        std::string text = std::move(*state->pending);
        state->pending.reset();
        state->busy = true;
        lock.unlock();
        Result written = publisher.publish(state->path, text);
        lock.lock();
        state->busy = false;
        state->outcome = std::move(written);
        state->idle.notify_all();
    }
}

}  // namespace ovin
