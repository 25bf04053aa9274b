#pragma once

#include "platform/SystemLog.h"

namespace ovin {

/// syslog(3) under the identifier "ovin" (facility user): journald keeps the
/// lines with SYSLOG_IDENTIFIER=ovin, rsyslog gets them as well. The text
/// goes as it is, in UTF-8.
class LinuxSystemLog final : public SystemLog {
public:
    LinuxSystemLog();
    ~LinuxSystemLog() override;
    LinuxSystemLog(const LinuxSystemLog&) = delete;
    LinuxSystemLog& operator=(const LinuxSystemLog&) = delete;

    void write(std::string_view message, SystemLogLevel level, SystemLogEvent event) override;
};

}  // namespace ovin
