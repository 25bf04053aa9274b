#pragma once

#include <condition_variable>
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
    PublishWorker(FilePublisher& publisher, std::string path);
    /// Writes what still waits, then ends the thread.
    ~PublishWorker();
    PublishWorker(const PublishWorker&) = delete;
    PublishWorker& operator=(const PublishWorker&) = delete;

    const std::string& path() const { return m_path; }

    /// Hands over the newest text; returns at once.
    void hand(std::string text);

    /// The outcome of the last write that ended since the previous call, or
    /// nothing when none ended.
    std::optional<Result> takeOutcome();

    /// Waits until every text handed over is written (for a test's checks).
    void drain();

private:
    void run();

    FilePublisher& m_publisher;
    const std::string m_path;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::optional<std::string> m_pending;
    std::optional<Result> m_outcome;
    bool m_busy = false;
    bool m_stop = false;
    std::thread m_thread;
};

}  // namespace ovin
