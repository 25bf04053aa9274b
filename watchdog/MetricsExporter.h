#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "MetricsText.h"
#include "PublishWorker.h"
#include "RouterListener.h"

namespace ovin {

class Clock;
class EventLog;
class FilePublisher;

/// Keeps the metrics file "ovin.prom" in a folder that a Prometheus exporter
/// reads: written when a value changes and at least every 15 s, at most once
/// per tick, by a worker thread. A write that fails is logged once and
/// retried at the next tick.
class MetricsExporter final : public RouterListener {
public:
    static constexpr std::int64_t kRefreshMs = 15000;
    static constexpr const char* kFileName = "ovin.prom";

    MetricsExporter(FilePublisher& publisher, Clock& clock, EventLog& log, std::string path, MetricsIdentity identity);

    const std::string& path() const { return m_worker.path(); }

    void routerEvent(const RouterEvent& event, const RouterRecord& record) override;

    /// Waits until the last text handed over is written (for a test's checks).
    void drain() { m_worker.drain(); }

private:
    void noteOutcome();

    Clock& m_clock;
    EventLog& m_log;
    MetricsIdentity m_identity;
    std::optional<MetricsSnapshot> m_written;
    std::int64_t m_writtenAtMs = 0;
    // A write failed: its line is in the log, and every tick tries again until one succeeds.
    bool m_failing = false;
    PublishWorker m_worker;
};

}  // namespace ovin
