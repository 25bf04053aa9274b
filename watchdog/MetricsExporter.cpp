#include "MetricsExporter.h"

#include "RouterEvent.h"
#include "RouterRecord.h"
#include "platform/Clock.h"
#include "settings/EventLog.h"
#include "settings/Texts.h"

namespace ovin {

MetricsExporter::MetricsExporter(FilePublisher& publisher, Clock& clock, EventLog& log, std::string path,
                                 MetricsIdentity identity)
    : m_clock(clock), m_log(log), m_identity(std::move(identity)), m_worker(publisher, std::move(path))
{
}

void MetricsExporter::noteOutcome()
{
    const std::optional<Result> outcome = m_worker.takeOutcome();
    if (!outcome || outcome->ok == !m_failing)
        return;
    m_failing = !outcome->ok;
    const std::string line = m_failing ? texts::kLogMetricsFailed + path() + " - " + outcome->error
                                       : texts::kLogMetricsBack + path() + texts::kLogMetricsBackEnd;
    // A line that cannot be saved must not end the tick's other listeners.
    try {
        m_log.AddLogLine(line, m_failing ? LineSeverity::Warning : LineSeverity::Info);
    } catch (...) {
    }
}

void MetricsExporter::routerEvent(const RouterEvent& event, const RouterRecord& record)
{
    // The events inside a tick are all followed by its end: writing there keeps it to one write per tick.
    switch (event.kind) {
    case RouterEventKind::WatchdogStart:
    case RouterEventKind::WatchdogEnd:
    case RouterEventKind::SettingsSaved:
    case RouterEventKind::Tick:
        break;
    default:
        return;
    }
    noteOutcome();
    const MetricsSnapshot now = MetricsSnapshot::of(record);
    const std::int64_t at = m_clock.unixMs();
    const bool due = !m_written || m_failing || now.differsFrom(*m_written) || at - m_writtenAtMs >= kRefreshMs ||
                     at < m_writtenAtMs || event.kind != RouterEventKind::Tick;
    if (!due)
        return;
    m_written = now;
    m_writtenAtMs = at;
    m_worker.hand(MetricsText(now, m_identity));
}

}  // namespace ovin
