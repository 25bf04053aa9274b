#include "platform/Platform.h"

#include "CurlHttpClient.h"
#include "LinuxClock.h"
#include "LinuxCommandRunner.h"
#include "LinuxFilePublisher.h"
#include "LinuxFileSystem.h"
#include "LinuxLauncher.h"
#include "LinuxMachineName.h"
#include "LinuxProcessControl.h"
#include "LinuxProcessTable.h"
#include "LinuxSystemLog.h"

namespace ovin {

Platform createPlatform()
{
    Platform p;
    p.clock = std::make_unique<LinuxClock>();
    p.files = std::make_unique<LinuxFileSystem>();
    p.process = std::make_unique<LinuxProcessControl>();
    p.processes = std::make_unique<LinuxProcessTable>();
    p.launcher = std::make_unique<LinuxLauncher>();
    p.http = std::make_unique<CurlHttpClient>();
    p.commands = std::make_unique<LinuxCommandRunner>();
    p.machine = std::make_unique<LinuxMachineName>();
    p.systemLog = std::make_unique<LinuxSystemLog>();
    p.publisher = std::make_unique<LinuxFilePublisher>();
    return p;
}

std::unique_ptr<FileSystem> createFileSystem() { return std::make_unique<LinuxFileSystem>(); }

}  // namespace ovin
