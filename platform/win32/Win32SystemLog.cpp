#include "Win32SystemLog.h"

#include <string>

#include "Win32Text.h"

namespace ovin {

Win32SystemLog::~Win32SystemLog()
{
    if (m_source)
        ::DeregisterEventSource(m_source);
}

void Win32SystemLog::write(std::string_view message, SystemLogLevel level, SystemLogEvent event)
{
    // Opened at the first line: an unregistered source works all the same, Event Viewer then shows the text
    // under a note that the description was not found.
    if (!m_source)
        m_source = ::RegisterEventSourceW(nullptr, L"Ovin");
    if (!m_source)
        return;
    WORD type = EVENTLOG_INFORMATION_TYPE;
    if (level == SystemLogLevel::Warning)
        type = EVENTLOG_WARNING_TYPE;
    else if (level == SystemLogLevel::Error)
        type = EVENTLOG_ERROR_TYPE;
    const std::wstring text = win32::widen(message);
    LPCWSTR strings[] = {text.c_str()};
    ::ReportEventW(m_source, type, 0, static_cast<DWORD>(event), nullptr, 1, 0, strings, nullptr);
}

}  // namespace ovin
