#include "Watchdog.h"

#include <exception>

#include "ProcessOps.h"
#include "SystemLogLine.h"
#include "WatchdogHost.h"
#include "platform/FilePublisher.h"
#include "platform/FileSystem.h"
#include "platform/SystemLog.h"
#include "settings/Texts.h"

namespace ovin {

namespace {

// How long the end of the run may wait for alerts on their way, the run's last among them: a web hook that
// hangs must not keep the program, nor the session's end, waiting.
constexpr std::chrono::milliseconds kAlertsEndBound{3000};

}  // namespace

Watchdog::Watchdog(const WatchdogServices& services, std::string appFolder, WatchdogHost& host, WatchTimer& trayTimer,
                   WatchTimer& timer1, std::size_t logCapacity)
    : m_services(services),
      m_appFolder(std::move(appFolder)),
      m_host(host),
      m_log(services.files, services.clock, m_appFolder, logCapacity),
      m_conf(services.files, m_appFolder),
      m_cycle(trayTimer, timer1, host, m_conf, m_log, services.process, services.clock),
      m_record(services.clock),
      m_requestState(services.files, services.processes, m_log, m_conf, m_record),
      m_runTrovan(services, m_appFolder, m_log, m_conf, host, m_requestState, m_record),
      m_pause(services.clock, m_log, m_record),
      m_alerts(services, m_log, m_appFolder)
{
    m_record.addListener(m_alerts);
    m_cycle.RunTrovan = [this] { m_runTrovan.RunTrovanExecute(); };
    m_cycle.RequestState = [this] { m_requestState.RequestStateExecute(); };
    m_cycle.TickEnded = [this] { tickEnded(); };
    m_runTrovan.launchHeld = [this] { return m_pause.holdLaunch(); };
    m_cycle.Warning = [this] { return m_record.inCrashLoop(); };
    m_cycle.TrayNotice = [this] { return restartPauseNotice(m_record, m_services.clock); };
    m_conf.onTakenOver = [this] {
        loadDohled();
        m_record.settingsSaved();
    };
}

Watchdog::~Watchdog()
{
    stopMetrics();
    m_log.setLineListener({});
    m_systemLog.reset();
    m_record.removeListener(m_alerts);
}

template <typename F>
void Watchdog::reported(F&& step)
{
    try {
        step();
    } catch (const std::exception& e) {
        m_host.reportError(e.what());
    }
}

void Watchdog::FormCreate()
{
    reported([this] { m_log.LoadMonthFile(); });
    m_log.AddStartHeader();
    m_host.ProcessMessages();
    m_cycle.setUp();
    m_conf.BackupSettingsFile();
    m_conf.LoadSettings();
    reported([this] { m_conf.SaveSettings(); });
    m_host.ShowSettings();
    m_log.AddLogText(m_conf.SettingsSummary());
    m_cycle.armTimer1(m_conf.Interval);
    m_log.AddLogText(texts::kLogRequestPath + m_conf.RequestFilePath() + "\"");
    const std::string router = m_conf.RouterExePath();
    m_log.AddLogText(texts::kLogRouterPath + router + "\"");
    if (!m_services.files.fileExists(router))
        reported([&] { m_log.AddLogLine(router + texts::kLogRouterNotFound); });
    loadDohled();
    m_record.watchdogStarted();
}

void Watchdog::loadDohled()
{
    // A settings file that cannot be read (or is no file) has no section: every feature stays off.
    std::string text;
    if (!m_services.files.readFile(m_conf.SettingsFileName(), text).ok)
        text.clear();
    std::vector<std::string> complaints;
    m_dohled = DohledSettings::Read(text, complaints);
    // First, so that the complaints reach the system log too.
    applySystemLog();
    for (const std::string& line : complaints)
        reported([&] { m_log.AddLogLine(line, LineSeverity::Warning); });
    m_pause.configure(m_dohled);
    for (const std::string& line : m_alerts.apply(m_dohled))
        reported([&] { m_log.AddLogLine(line, LineSeverity::Warning); });
    applyMetrics();
}

void Watchdog::applySystemLog()
{
    if (!m_dohled.SystemovyLog || !m_services.systemLog) {
        m_log.setLineListener({});
        m_systemLog.reset();
        return;
    }
    if (m_systemLog)
        return;
    m_systemLog = std::make_unique<SystemLogQueue>(*m_services.systemLog);
    m_log.setLineListener([queue = m_systemLog.get()](std::string_view message, LineSeverity severity) {
        queue->write(message, SystemLogLevelOf(severity), SystemLogEventOf(message, severity));
    });
}

void Watchdog::stopMetrics()
{
    if (!m_metrics)
        return;
    m_record.removeListener(*m_metrics);
    m_metrics.reset();
}

void Watchdog::applyMetrics()
{
    const std::string& folder = m_dohled.Metriky;
    if (folder.empty() || !m_services.publisher) {
        stopMetrics();
        return;
    }
    const Result usable = m_services.publisher->checkFolder(folder);
    if (!usable) {
        stopMetrics();
        reported([&] {
            m_log.AddLogLine(texts::kLogMetricsOff + folder + texts::kLogMetricsOffWhy + usable.error,
                             LineSeverity::Warning);
        });
        return;
    }
    std::string path = folder;
    if (!m_services.files.isSeparator(path.back()))
        path += m_services.files.separator();
    path += MetricsExporter::kFileName;
    if (m_metrics && m_metrics->path() == path)
        return;
    stopMetrics();
    std::string programFolder = m_appFolder;
    if (programFolder.size() > 1 && m_services.files.isSeparator(programFolder.back()))
        programFolder.pop_back();
    m_metrics = std::make_unique<MetricsExporter>(*m_services.publisher, m_services.clock, m_log, std::move(path),
                                                  MetricsIdentity{OVIN_VERSION, std::move(programFolder)});
    m_record.addListener(*m_metrics);
}

void Watchdog::tickEnded()
{
    // Without the router check nothing else looks for the router; the scan is made only for the metrics, the
    // one reader of a router's state at every tick.
    std::optional<bool> seen;
    if (!m_conf.HlidatZdaTrovanJede && m_metrics)
        seen = IsProcessRunning(m_services.processes, kRouterExeName);
    else if (m_pause.held())
        seen = false;  // the check found no router, and no attempt told the record so
    m_record.tickEnded(m_requestState.stallCounter(), m_conf.MaxStejnyRequest, m_requestState.lastDateStamp(), seen);
}

void Watchdog::FormDestroy()
{
    reported([this] { m_conf.SaveSettings(); });
    m_record.watchdogEnded("");
    m_alerts.finish(kAlertsEndBound);
}

void Watchdog::AddClosingLines()
{
    reported([this] { m_log.AddClosingLines(); });
    m_record.watchdogEnded(texts::kLogClosing);
}

std::string Watchdog::AppFolderOf(std::string_view exePath, const FileSystem& files)
{
    for (std::size_t i = exePath.size(); i > 0; --i) {
        if (files.isSeparator(exePath[i - 1]))
            return std::string(exePath.substr(0, i));
    }
    return {};
}

}  // namespace ovin
