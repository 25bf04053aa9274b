#include "RunTrovan.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "ProcessOps.h"
#include "RequestState.h"
#include "WatchdogHost.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Launcher.h"
#include "settings/Config.h"
#include "settings/EventLog.h"
#include "settings/OvinError.h"

namespace ovin {

namespace {

constexpr int kWaitStepMs = 1000;

std::string joinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

}  // namespace

RunTrovan::RunTrovan(const WatchdogServices& services, std::string appFolder, EventLog& log, TConf& conf,
                     WatchdogHost& host, RequestState& requestState)
    : m_services(services), m_appFolder(std::move(appFolder)), m_log(log), m_conf(conf), m_host(host),
      m_requestState(requestState)
{
}

void RunTrovan::RunTrovanExecute()
{
    if (IsProcessRunning(m_services.processes, kRouterExeName))
        return;
    m_log.AddLogLine("Trovan neni spusten - pokusim se ho spustit");
    const std::string exe = m_conf.RouterExePath();
    if (!m_services.files.fileExists(exe)) {
        m_log.AddLogLine("Nelze spustit Trovan - soubor nenalezen " + exe);
        return;
    }
    const std::string request = m_conf.RequestFilePath();
    if (m_services.files.fileExists(request))
        handleLeftover(request);

    // The new router may write its request file before the request-file
    // check of this tick runs; with the count of the stalled run still at
    // the limit it would be ended again at once, over and over.
    if (m_services.launcher.open(exe, m_appFolder))
        m_requestState.reset();

    const int waitSeconds = m_host.routerWaitSeconds();
    for (int n = 1; n <= waitSeconds; ++n) {
        m_services.clock.sleepMs(kWaitStepMs);
        m_log.AddLogLine("Čekám na spuštění Trovan " + std::to_string(n) + " s");
        m_host.ProcessMessages();
    }
    if (IsProcessRunning(m_services.processes, kRouterExeName))
        m_log.AddLogLine("Trovan spusten");
}

void RunTrovan::handleLeftover(const std::string& path)
{
    m_log.AddLogLine("Pred spustenim nalezen " + path);
    const std::vector<std::string> lines = readLines(path);
    const auto count = static_cast<std::int64_t>(lines.size());
    if (count >= m_conf.MaxRadkuRequest) {
        m_log.AddLogLine("Radku v request.cfg (" + std::to_string(count) + ")   >=   MaxRadkuRequest(" +
                         std::to_string(m_conf.MaxRadkuRequest) + ")");
        // Untimed, as the router wrote them; they reach the month file with
        // the next logged line.
        m_log.AppendLines(joinLines(lines));
    }
    if (m_conf.MaxStariRequest == 0) {
        m_log.AddLogLine("MaxStariRequest nastaven na 0 = Mazu vzdy");
        deleteIfAllowed(path);
        return;
    }
    const std::int64_t age = ageSeconds(path);
    const std::string limit = std::to_string(m_conf.MaxStariRequest);
    if (age < m_conf.MaxStariRequest) {
        m_log.AddLogLine("Stari request.cfg (" + std::to_string(age) + "s)  <  MaxStariRequest (" + limit + "s)");
        m_log.AddLogLine("Nechavam soubor request.cfg na disku");
        return;
    }
    m_log.AddLogLine("Stari request.cfg (" + std::to_string(age) + "s)  >=  MaxStariRequest (" + limit + "s)");
    deleteIfAllowed(path);
}

void RunTrovan::deleteIfAllowed(const std::string& path)
{
    if (!m_conf.MazatRequest)
        return;
    m_log.AddLogLine("Mazu soubor " + path);
    ForceDeleteFile(m_services.files, path);
}

std::vector<std::string> RunTrovan::readLines(const std::string& path) const
{
    std::string content;
    const IoResult read = m_services.files.readFile(path, content);
    if (!read.ok)
        throw OvinError("Cannot open file \"" + path + "\". " + read.error);
    return SplitLines(content);
}

std::int64_t RunTrovan::ageSeconds(const std::string& path) const
{
    const auto stamp = DateStampToLocalTime(m_services.files.dateStamp(path));
    if (!stamp)
        throw OvinError("Cannot read the date of file \"" + path + "\".");
    const LocalTime now = m_services.clock.now();
    const std::int64_t nowMs = localSeconds(now) * 1000 + now.millisecond;
    const std::int64_t diffMs = nowMs - localSeconds(*stamp) * 1000;
    return std::llabs(diffMs) / 1000;
}

}  // namespace ovin
