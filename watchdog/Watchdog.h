#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "Alerts.h"
#include "MetricsExporter.h"
#include "RequestState.h"
#include "RestartPause.h"
#include "RouterRecord.h"
#include "RunTrovan.h"
#include "SystemLogQueue.h"
#include "WatchCycle.h"
#include "WatchdogServices.h"
#include "settings/Config.h"
#include "settings/DohledSettings.h"
#include "settings/EventLog.h"

namespace ovin {

class FileSystem;
class WatchTimer;
class WatchdogHost;

/// Everything the main window owns that is not on the screen: the Event log,
/// the Watch settings, the watch cycle and its checks. The window creates it,
/// hands it its timers and itself as host, and forwards its events to it.
class Watchdog {
public:
    /// `logCapacity` is how many bytes the Event log holds.
    Watchdog(const WatchdogServices& services, std::string appFolder, WatchdogHost& host, WatchTimer& trayTimer,
             WatchTimer& timer1, std::size_t logCapacity = EventLog::kMemoCapacity);
    ~Watchdog();

    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    /// The steps of the window's creation that are not on the screen, in
    /// their order: the start block, the settings file, the timers, the
    /// paths, then the section [dohled] and the run's first event.
    /// Errors are reported through the host and creation goes on.
    void FormCreate();

    /// Writes the settings file at the end of the run; a failure is reported
    /// and the run still ends.
    void FormDestroy();

    /// The lines of a close that ends the program ("UKONCENI PROGRAMU").
    void AddClosingLines();

    /// The router's history in this run, for those who report it.
    RouterRecord& record() { return m_record; }
    /// The metrics file's writer while [dohled] Metriky names a usable folder.
    MetricsExporter* metrics() { return m_metrics.get(); }
    /// The queue of lines for the system log while [dohled] SystemovyLog is on.
    SystemLogQueue* systemLog() { return m_systemLog.get(); }
    /// The section [dohled] as last read.
    const DohledSettings& dohled() const { return m_dohled; }
    /// The alerts by command and web hook.
    Alerts& alerts() { return m_alerts; }

    EventLog& log() { return m_log; }
    TConf& conf() { return m_conf; }
    WatchCycle& cycle() { return m_cycle; }

    /// The folder of an executable path, ending with its separator.
    static std::string AppFolderOf(std::string_view exePath, const FileSystem& files);

private:
    template <typename F>
    void reported(F&& step);
    // Reads [dohled] from the settings file, logs what it cannot use and hands the rest to the features.
    void loadDohled();
    // Starts, moves or stops the metrics file as [dohled] Metriky says.
    void applyMetrics();
    void stopMetrics();
    // Sends every logged line to the system log too, or stops that, as [dohled] SystemovyLog says.
    void applySystemLog();
    void tickEnded();

    WatchdogServices m_services;
    std::string m_appFolder;
    WatchdogHost& m_host;
    EventLog m_log;
    TConf m_conf;
    DohledSettings m_dohled;
    WatchCycle m_cycle;
    RouterRecord m_record;
    RequestState m_requestState;
    RunTrovan m_runTrovan;
    RestartPause m_pause;
    Alerts m_alerts;
    std::unique_ptr<SystemLogQueue> m_systemLog;
    // Last: it listens to the record and logs, so it goes first.
    std::unique_ptr<MetricsExporter> m_metrics;
};

}  // namespace ovin
