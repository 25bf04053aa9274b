#include "RunTrovan.h"

namespace ovin {

RunTrovan::RunTrovan(const WatchdogServices& services, std::string appFolder, EventLog& log, TConf& conf,
                     WatchdogHost& host, RequestState& requestState)
    : m_services(services), m_appFolder(std::move(appFolder)), m_log(log), m_conf(conf), m_host(host),
      m_requestState(requestState)
{
}

void RunTrovan::RunTrovanExecute() {}

}  // namespace ovin
