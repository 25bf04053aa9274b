#include "LinuxSystemLog.h"

#include <syslog.h>

#include <string>

namespace ovin {

LinuxSystemLog::LinuxSystemLog()
{
    // Connected at the first line: a watchdog that never sends one never touches /dev/log.
    ::openlog("ovin", LOG_PID, LOG_USER);
}

LinuxSystemLog::~LinuxSystemLog() { ::closelog(); }

void LinuxSystemLog::write(std::string_view message, SystemLogLevel level, SystemLogEvent)
{
    int priority = LOG_INFO;
    if (level == SystemLogLevel::Warning)
        priority = LOG_WARNING;
    else if (level == SystemLogLevel::Error)
        priority = LOG_ERR;
    const std::string text(message);
    ::syslog(LOG_USER | priority, "%s", text.c_str());
}

}  // namespace ovin
