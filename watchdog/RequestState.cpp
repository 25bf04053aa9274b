#include "RequestState.h"

#include <string>

#include "LoggedEvent.h"
#include "ProcessOps.h"
#include "RouterRecord.h"
#include "platform/FileSystem.h"
#include "settings/Config.h"
#include "settings/EventLog.h"
#include "settings/OvinError.h"
#include "settings/Texts.h"

namespace ovin {

RequestState::RequestState(FileSystem& files, ProcessTable& processes, EventLog& log, TConf& conf, RouterRecord& record)
    : m_files(files), m_processes(processes), m_log(log), m_conf(conf), m_record(record)
{
}

void RequestState::RequestStateExecute()
{
    const std::string path = m_conf.RequestFilePath();
    if (!m_files.fileExists(path)) {
        reset();
        return;
    }
    // The router may rewrite or remove the file at any moment and the log
    // may fail to save: either ends this check quietly, and the next tick
    // looks again.
    try {
        check(path);
    } catch (...) {
    }
}

void RequestState::check(const std::string& path)
{
    const std::int32_t stamp = m_files.dateStamp(path);
    const std::int32_t size = FileSizeOf(m_files, path);
    if (m_stallCounter == 0) {
        const auto when = DateStampToLocalTime(stamp);
        if (!when)
            throw OvinError(texts::kErrorInvalidDateStamp + path + "\"");
        m_log.AddLogLine(path + " " + DateTimeText(*when) + "  " + std::to_string(size) + "B");
    }
    // A working router writes the file anew (new stamp and new size) or
    // removes it; one value left as it was is enough to count, and only a
    // tick that finds the file gone clears the count.
    const bool unchanged = stamp == m_lastDateStamp || size == m_lastSize;
    m_lastDateStamp = stamp;
    m_lastSize = size;
    if (unchanged)
        ++m_stallCounter;
    if (m_stallCounter > 0)
        m_log.AddLogLine(path + texts::kLogStillSame + std::to_string(m_stallCounter));
    if (m_stallCounter < m_conf.MaxStejnyRequest)
        return;
    const std::string limit = texts::kLogLimitReached + std::to_string(m_conf.MaxStejnyRequest);
    LogAndTell(m_log, limit, LineSeverity::Warning, [&] { m_record.stall(limit); });
    if (m_conf.MazatRequest) {
        m_log.AddLogLine(texts::kLogDeleting + path);
        ForceDeleteFile(m_files, path);
    }
    // By image name, wherever the router runs from: a stuck copy started
    // from another folder blocks the request file just the same.
    if (IsProcessRunning(m_processes, kRouterExeName))
        endRouters();
    else
        m_log.AddLogLine(texts::kLogNothingToEnd);
}

void RequestState::endRouters()
{
    constexpr std::string_view kEnding = texts::kLogEndingRouter;
    m_log.AddLogLine(kEnding, LineSeverity::Warning);
    const TerminateOutcome outcome = TerminateProcessByName(m_processes, kRouterExeName);
    m_record.killed(kEnding, outcome.ended > 0);
    // A process that ended by itself between the look and the end fails too; only a router that still runs was
    // refused.
    if (outcome.refused == 0 || m_refusalLogged || !IsProcessRunning(m_processes, kRouterExeName))
        return;
    m_refusalLogged = true;
    const std::string refused = texts::kLogEndRefused + outcome.firstError;
    LogAndTell(m_log, refused, LineSeverity::Error, [&] { m_record.killRefused(refused); });
}

void RequestState::reset()
{
    m_lastDateStamp = 0;
    m_lastSize = 0;
    m_stallCounter = 0;
    m_refusalLogged = false;
}

}  // namespace ovin
