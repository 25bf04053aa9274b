#pragma once

#include <cstdint>
#include <string>

namespace ovin {

class EventLog;
class FileSystem;
class ProcessTable;
class TConf;

/// The request-file check: watches the router's request file from tick to
/// tick and, when it stays the same too long, deletes it (when allowed) and
/// ends the router.
class RequestState {
public:
    RequestState(FileSystem& files, ProcessTable& processes, EventLog& log, TConf& conf);

    /// One check; lets no error out.
    void RequestStateExecute();

    /// Forgets what the last checks saw: last date stamp, last size and the
    /// Stall counter go back to 0.
    void reset();

    std::int32_t lastDateStamp() const { return m_lastDateStamp; }
    std::int32_t lastSize() const { return m_lastSize; }
    std::int32_t stallCounter() const { return m_stallCounter; }

private:
    void check(const std::string& path);

    FileSystem& m_files;
    ProcessTable& m_processes;
    EventLog& m_log;
    TConf& m_conf;
    std::int32_t m_lastDateStamp = 0;
    std::int32_t m_lastSize = 0;
    std::int32_t m_stallCounter = 0;
};

}  // namespace ovin
