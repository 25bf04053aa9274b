#pragma once

#include <windows.h>

#include "platform/SystemLog.h"

namespace ovin {

/// The Application event log under the source "Ovin": ReportEventW with the
/// line as its one UTF-16 insertion string and the line's kind as the event
/// id. The program's message table (compiled into its resources) shows
/// "%1" for every id, so Event Viewer shows the line once the installer has
/// registered the source with the program as its message file.
class Win32SystemLog final : public SystemLog {
public:
    Win32SystemLog() = default;
    ~Win32SystemLog() override;
    Win32SystemLog(const Win32SystemLog&) = delete;
    Win32SystemLog& operator=(const Win32SystemLog&) = delete;

    void write(std::string_view message, SystemLogLevel level, SystemLogEvent event) override;

private:
    HANDLE m_source = nullptr;
};

}  // namespace ovin
