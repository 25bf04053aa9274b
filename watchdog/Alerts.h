#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "AlertRate.h"
#include "AlertSender.h"
#include "RouterListener.h"
#include "WatchdogServices.h"

namespace ovin {

class EventLog;
struct DohledSettings;

/// Tells the operator what happened to the router, by the command and the
/// web hook of the section [dohled]: a stall, a crash, a start that failed or
/// found no executable, a pause between restarts beginning and ending, a
/// recovery, and the run's start and end. One kind goes out at most once per
/// `UpozorneniMinut`; deliveries run on a worker, so the watch cycle never
/// waits for them, and their failures reach the log once an hour per kind.
class Alerts final : public RouterListener {
public:
    Alerts(const WatchdogServices& services, EventLog& log, std::string appFolder, AlertTiming timing = {});
    ~Alerts() override;
    Alerts(const Alerts&) = delete;
    Alerts& operator=(const Alerts&) = delete;

    /// Takes the settings over. A command that is no file or that others
    /// could change, or an address that is not http(s), leaves its way off;
    /// the answer holds one line for the log about each.
    std::vector<std::string> apply(const DohledSettings& settings);

    /// True while at least one way out is on.
    bool active() const { return !m_command.empty() || !m_hook.empty(); }

    void routerEvent(const RouterEvent& event, const RouterRecord& record) override;

    /// Ends the deliveries at the end of the run within `bound`; the run's
    /// last alert (watchdog_end) is tried within it.
    void finish(std::chrono::milliseconds bound);

    AlertSender& sender() { return m_sender; }

private:
    void send(const std::string& kind, const std::string& line, const RouterRecord& record,
              std::optional<std::int64_t> downtimeMs = std::nullopt);
    void logFailures();
    std::string localTimeOf(std::int64_t unixMs) const;

    WatchdogServices m_services;
    EventLog& m_log;
    std::string m_appFolder;
    std::string m_machine;
    std::string m_command;
    std::string m_hook;
    std::string m_hookShown;
    int m_periodMinutes = 10;
    AlertRate m_rate;
    AlertSender m_sender;

    // The stall is told when its tick has ended, so that its lines (the deletion, the end of the router) are in
    // the log's tail.
    std::optional<std::string> m_pendingStall;
    // Of the attempt under way: the executable was missing (that alert said it all), or the system refused.
    bool m_missingExe = false;
    std::optional<std::string> m_refusedLine;

    struct FailureLog {
        std::int64_t loggedMs = 0;
        bool logged = false;
        int since = 0;  // failures of the kind since its last line
    };
    std::map<AlertFailure, FailureLog> m_failureLog;
};

}  // namespace ovin
