#include "RequestState.h"

namespace ovin {

RequestState::RequestState(FileSystem& files, ProcessTable& processes, EventLog& log, TConf& conf)
    : m_files(files), m_processes(processes), m_log(log), m_conf(conf)
{
}

void RequestState::RequestStateExecute() {}

void RequestState::reset()
{
    m_lastDateStamp = 0;
    m_lastSize = 0;
    m_stallCounter = 0;
}

}  // namespace ovin
