#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "WatchdogServices.h"
#include "settings/EventLog.h"

namespace ovin {

class LineTally;
class RequestState;
class RouterRecord;
class TConf;
class WatchdogHost;

/// The router check: starts the router when it is not running, after dealing
/// with a request file its previous run left behind, and waits for it.
class RunTrovan {
public:
    RunTrovan(const WatchdogServices& services, std::string appFolder, EventLog& log, TConf& conf, WatchdogHost& host,
              RequestState& requestState, RouterRecord& record);

    /// When set and true, a tick that finds no router makes no attempt and
    /// logs nothing (a pause between restarts of a router that keeps dying).
    std::function<bool()> launchHeld;

    /// One check. Errors (an unreadable request file) are passed on; a copy
    /// of the request file that the log cannot take is reported through the
    /// host, once until a copy fits again, and the router is started anyway.
    void RunTrovanExecute();

private:
    void attempt();
    // Logs a line of the attempt, then tells the record through `tell`.
    template <typename Tell>
    void logAttemptLine(std::string_view message, LineSeverity severity, Tell&& tell);
    // Deals with a request file the router's previous run left behind:
    // copies a long one into the log, deletes an old one when allowed.
    void handleLeftover(const std::string& path);
    void deleteIfAllowed(const std::string& path);
    LineTally countLines(const std::string& path) const;
    // Appends the file's lines (`logBytes` once in the log) when they fit.
    void copyIntoLog(const std::string& path, std::uint64_t logBytes);
    void refuseCopy();
    // Whole seconds between now and the file's date stamp, either way.
    std::int64_t ageSeconds(const std::string& path) const;

    WatchdogServices m_services;
    std::string m_appFolder;
    EventLog& m_log;
    TConf& m_conf;
    WatchdogHost& m_host;
    RequestState& m_requestState;
    RouterRecord& m_record;
    bool m_copyRefused = false;
    // The last line the attempt logged: what a failed launch is told with.
    std::string m_lastLine;
};

}  // namespace ovin
