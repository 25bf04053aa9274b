#pragma once

#include <cstdint>
#include <string>

namespace ovin {

class EventLog;
class FileSystem;
class ProcessTable;
class RouterRecord;
class TConf;

/// The request-file check: watches the router's request file from tick to
/// tick and, when it stays the same too long, deletes it (when allowed) and
/// ends the router.
class RequestState {
public:
    RequestState(FileSystem& files, ProcessTable& processes, EventLog& log, TConf& conf, RouterRecord& record);

    /// One check; lets no error out.
    void RequestStateExecute();

    /// Forgets what the last checks saw: last date stamp, last size and the
    /// Stall counter go back to 0, and a refused end may be reported again.
    void reset();

    std::int32_t lastDateStamp() const { return m_lastDateStamp; }
    std::int32_t lastSize() const { return m_lastSize; }
    std::int32_t stallCounter() const { return m_stallCounter; }

private:
    void check(const std::string& path);
    void endRouters();

    FileSystem& m_files;
    ProcessTable& m_processes;
    EventLog& m_log;
    TConf& m_conf;
    RouterRecord& m_record;
    // The system's refusal to end the router is logged once per stall: the limit stays reached tick after tick.
    bool m_refusalLogged = false;
    std::int32_t m_lastDateStamp = 0;
    std::int32_t m_lastSize = 0;
    std::int32_t m_stallCounter = 0;
};

}  // namespace ovin
