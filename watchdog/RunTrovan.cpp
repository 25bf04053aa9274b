#include "RunTrovan.h"

#include <cstdlib>
#include <string>

#include "LineTally.h"
#include "LoggedEvent.h"
#include "ProcessOps.h"
#include "RequestState.h"
#include "RouterRecord.h"
#include "WatchdogHost.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Launcher.h"
#include "settings/Config.h"
#include "settings/EventLog.h"
#include "settings/OvinError.h"
#include "settings/Texts.h"

namespace ovin {

namespace {

constexpr int kWaitStepMs = 1000;
constexpr std::string_view kTryingLine = texts::kLogStartingRouter;
constexpr std::string_view kStartedLine = texts::kLogRouterStarted;
constexpr const char* kCapacityError = texts::kErrorMemoCapacity;

}  // namespace

RunTrovan::RunTrovan(const WatchdogServices& services, std::string appFolder, EventLog& log, TConf& conf,
                     WatchdogHost& host, RequestState& requestState, RouterRecord& record)
    : m_services(services),
      m_appFolder(std::move(appFolder)),
      m_log(log),
      m_conf(conf),
      m_host(host),
      m_requestState(requestState),
      m_record(record)
{
}

void RunTrovan::RunTrovanExecute()
{
    if (IsProcessRunning(m_services.processes, kRouterExeName)) {
        m_record.routerRunning();
        return;
    }
    if (launchHeld && launchHeld())
        return;
    attempt();
}

template <typename Tell>
void RunTrovan::logAttemptLine(std::string_view message, LineSeverity severity, Tell&& tell)
{
    m_lastLine = message;
    LogAndTell(m_log, message, severity, std::forward<Tell>(tell));
}

void RunTrovan::attempt()
{
    // A router this run saw running and did not end has crashed: that is worth a warning beyond the log.
    const LineSeverity trying = m_record.attemptFindsCrash() ? LineSeverity::Warning : LineSeverity::Info;
    logAttemptLine(kTryingLine, trying, [this] { m_record.attempt(kTryingLine); });
    const std::string exe = m_conf.RouterExePath();
    if (!m_services.files.fileExists(exe)) {
        const std::string missing = texts::kLogRouterMissing + exe;
        logAttemptLine(missing, LineSeverity::Error, [&] {
            m_record.missingExe(missing);
            m_record.launchFailed(missing);
        });
        return;
    }
    // Whoever can change the router's executable would run their program
    // under this program's user.
    if (m_services.files.othersCanChange(exe)) {
        const std::string unsafe = texts::kLogRouterForeign + exe;
        logAttemptLine(unsafe, LineSeverity::Error, [&] {
            m_record.launchRefused(unsafe);
            m_record.launchFailed(unsafe);
        });
        return;
    }
    const std::string request = m_conf.RequestFilePath();
    if (m_services.files.fileExists(request))
        handleLeftover(request);

    // The new router may write its request file before the request-file
    // check of this tick runs; with the count of the stalled run still at
    // the limit it would be ended again at once, over and over.
    const Result opened = m_services.launcher.open(exe, m_appFolder);
    if (opened.ok) {
        m_requestState.reset();
    } else {
        // The wait below still runs: a router the system says it could not start may come up all the same.
        const std::string refused = texts::kLogStartRefused + opened.error;
        logAttemptLine(refused, LineSeverity::Error, [&] { m_record.launchRefused(refused); });
    }

    const int waitSeconds = m_host.routerWaitSeconds();
    for (int n = 1; n <= waitSeconds; ++n) {
        m_services.clock.sleepMs(kWaitStepMs);
        m_lastLine = texts::kLogWaiting + std::to_string(n) + texts::kLogWaitingUnit;
        m_log.AddLogLine(m_lastLine);
        m_host.ProcessMessages();
    }
    if (IsProcessRunning(m_services.processes, kRouterExeName))
        logAttemptLine(kStartedLine, LineSeverity::Info, [this] { m_record.launched(kStartedLine); });
    else
        m_record.launchFailed(m_lastLine);
}

void RunTrovan::handleLeftover(const std::string& path)
{
    m_log.AddLogLine(texts::kLogLeftoverFound + path);
    const LineTally tally = countLines(path);
    const std::int64_t count = tally.lines();
    if (count >= m_conf.MaxRadkuRequest) {
        m_log.AddLogLine(texts::kLogLinesCount + std::to_string(count) + texts::kLogLinesLimit +
                         std::to_string(m_conf.MaxRadkuRequest) + texts::kLogLinesEnd);
        copyIntoLog(path, tally.crLfBytes());
    }
    if (m_conf.MaxStariRequest == 0) {
        m_log.AddLogLine(texts::kLogDeleteAlways);
        deleteIfAllowed(path);
        return;
    }
    const std::int64_t age = ageSeconds(path);
    const std::string limit = std::to_string(m_conf.MaxStariRequest);
    if (age < m_conf.MaxStariRequest) {
        m_log.AddLogLine(texts::kLogAge + std::to_string(age) + texts::kLogYoungerThan + limit + texts::kLogAgeEnd);
        m_log.AddLogLine(texts::kLogKeeping);
        return;
    }
    m_log.AddLogLine(texts::kLogAge + std::to_string(age) + texts::kLogNotYoungerThan + limit + texts::kLogAgeEnd);
    deleteIfAllowed(path);
}

void RunTrovan::deleteIfAllowed(const std::string& path)
{
    if (!m_conf.MazatRequest)
        return;
    m_log.AddLogLine(texts::kLogDeleting + path);
    ForceDeleteFile(m_services.files, path);
}

LineTally RunTrovan::countLines(const std::string& path) const
{
    LineTally tally;
    const Result read = m_services.files.readChunks(path, [&](std::string_view piece) {
        tally.add(piece);
        return true;
    });
    if (!read.ok)
        throw OvinError(texts::kErrorCannotOpen + path + texts::kErrorPathEnd + read.error);
    return tally;
}

void RunTrovan::copyIntoLog(const std::string& path, std::uint64_t logBytes)
{
    // A copy the log cannot take is left out, not the launch: a full log must
    // not stop the watching. What does not fit is not even read.
    const std::size_t room = m_log.room();
    if (logBytes > room) {
        refuseCopy();
        return;
    }
    // The router may have written more since the count: never more than the
    // log can take is held.
    std::string copy;
    copy.reserve(static_cast<std::size_t>(logBytes));
    bool fits = true;
    const Result read = m_services.files.readChunks(path, [&](std::string_view piece) {
        fits = copy.size() + piece.size() <= room;
        if (fits)
            copy.append(piece);
        return fits;
    });
    if (!read.ok)
        throw OvinError(texts::kErrorCannotOpen + path + texts::kErrorPathEnd + read.error);
    if (!fits) {
        refuseCopy();
        return;
    }
    // Untimed, as the router wrote them; they reach the month file with the
    // next logged line.
    try {
        m_log.AppendLines(copy);
    } catch (const OvinError&) {
        refuseCopy();
        return;
    }
    m_copyRefused = false;
}

void RunTrovan::refuseCopy()
{
    // Once until a copy fits again: with a full log every restart would
    // report the same.
    if (!m_copyRefused)
        m_host.reportError(kCapacityError);
    m_copyRefused = true;
}

std::int64_t RunTrovan::ageSeconds(const std::string& path) const
{
    const auto stamp = DateStampToLocalTime(m_services.files.dateStamp(path));
    if (!stamp)
        throw OvinError(texts::kErrorCannotReadDate + path + texts::kErrorDateEnd);
    const LocalTime now = m_services.clock.now();
    const std::int64_t nowMs = localSeconds(now) * 1000 + now.millisecond;
    const std::int64_t diffMs = nowMs - localSeconds(*stamp) * 1000;
    return std::llabs(diffMs) / 1000;
}

}  // namespace ovin
