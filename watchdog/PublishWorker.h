#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/Result.h"

namespace ovin {

class FilePublisher;

/// Writes one file on a thread of its own, so that the watch tick never waits
/// on a slow disk. Only the newest text matters: text handed over while a
/// write is under way replaces what was waiting, so at most one text waits
/// and memory stays bounded however slow the disk is.
class PublishWorker {
public:
    /// How long the end waits for the last write.
    static constexpr int kFlushMs = 2000;

    PublishWorker(FilePublisher& publisher, std::string path, int flushMs = kFlushMs);
    /// Waits up to `flushMs` for what still waits to be written; a disk that
    /// hangs keeps the thread, which ends after its write without another.
    ~PublishWorker();
    PublishWorker(const PublishWorker&) = delete;
    PublishWorker& operator=(const PublishWorker&) = delete;

    const std::string& path() const { return m_state->path; }

    /// Hands over the newest text; returns at once.
    void hand(std::string text);

    /// The outcome of the last write that ended since the previous call, or
    /// nothing when none ended.
    std::optional<Result> takeOutcome();

    /// Waits until every text handed over is written (for a test's checks).
    void drain();

private:
    // Shared with the thread, which may outlive the worker when the disk hangs at the end.
    struct State {
        explicit State(std::string p) : path(std::move(p)) {}
        const std::string path;
        std::mutex mutex;
        std::condition_variable wake;
        std::condition_variable idle;
        std::optional<std::string> pending;
        std::optional<Result> outcome;
        bool busy = false;
        bool stop = false;
        bool abandoned = false;
    };
    static void run(FilePublisher& publisher, std::shared_ptr<State> state);

    const int m_flushMs;
    std::shared_ptr<State> m_state;
    std::thread m_thread;
};

}  // namespace ovin
