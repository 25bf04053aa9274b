#include "platform/Platform.h"

#include "Win32Clock.h"
#include "Win32CommandRunner.h"
#include "Win32FilePublisher.h"
#include "Win32FileSystem.h"
#include "Win32HttpClient.h"
#include "Win32Launcher.h"
#include "Win32MachineName.h"
#include "Win32ProcessControl.h"
#include "Win32ProcessTable.h"
#include "Win32SystemLog.h"

// The end of the user's session needs no service here: the system asks
// every top-level window with WM_QUERYENDSESSION and tells it the outcome
// with WM_ENDSESSION, so the main window's own procedure hears it and runs
// the close query. (Linux delivers it as signals; see SessionSignals there.)

namespace ovin {

Platform createPlatform()
{
    Platform p;
    p.clock = std::make_unique<Win32Clock>();
    p.files = std::make_unique<Win32FileSystem>();
    p.process = std::make_unique<Win32ProcessControl>();
    p.processes = std::make_unique<Win32ProcessTable>();
    p.launcher = std::make_unique<Win32Launcher>();
    p.http = std::make_unique<Win32HttpClient>();
    p.commands = std::make_unique<Win32CommandRunner>();
    p.machine = std::make_unique<Win32MachineName>();
    p.systemLog = std::make_unique<Win32SystemLog>();
    p.publisher = std::make_unique<Win32FilePublisher>();
    return p;
}

std::unique_ptr<FileSystem> createFileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace ovin
