#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "WatchdogServices.h"

namespace ovin {

class EventLog;
class RequestState;
class TConf;
class WatchdogHost;

/// The router check: starts the router when it is not running, after dealing
/// with a request file its previous run left behind, and waits for it.
class RunTrovan {
public:
    RunTrovan(const WatchdogServices& services, std::string appFolder, EventLog& log, TConf& conf,
              WatchdogHost& host, RequestState& requestState);

    /// One check. Errors (an unreadable request file) are passed on.
    void RunTrovanExecute();

private:
    // Deals with a request file the router's previous run left behind:
    // copies a long one into the log, deletes an old one when allowed.
    void handleLeftover(const std::string& path);
    void deleteIfAllowed(const std::string& path);
    std::vector<std::string> readLines(const std::string& path) const;
    // Whole seconds between now and the file's date stamp, either way.
    std::int64_t ageSeconds(const std::string& path) const;

    WatchdogServices m_services;
    std::string m_appFolder;
    EventLog& m_log;
    TConf& m_conf;
    WatchdogHost& m_host;
    RequestState& m_requestState;
};

}  // namespace ovin
