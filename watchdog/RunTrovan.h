#pragma once

#include <string>

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
    WatchdogServices m_services;
    std::string m_appFolder;
    EventLog& m_log;
    TConf& m_conf;
    WatchdogHost& m_host;
    RequestState& m_requestState;
};

}  // namespace ovin
