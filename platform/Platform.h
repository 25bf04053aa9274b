#pragma once

#include <memory>

#include "Clock.h"
#include "CommandRunner.h"
#include "FilePublisher.h"
#include "FileSystem.h"
#include "HttpClient.h"
#include "Launcher.h"
#include "MachineName.h"
#include "ProcessControl.h"
#include "ProcessTable.h"
#include "SystemLog.h"

namespace ovin {

/// The real services of the operating system the program was built for.
struct Platform {
    std::unique_ptr<Clock> clock;
    std::unique_ptr<FileSystem> files;
    std::unique_ptr<ProcessControl> process;
    std::unique_ptr<ProcessTable> processes;
    std::unique_ptr<Launcher> launcher;
    std::unique_ptr<HttpClient> http;
    std::unique_ptr<CommandRunner> commands;
    std::unique_ptr<MachineName> machine;
    std::unique_ptr<SystemLog> systemLog;
    std::unique_ptr<FilePublisher> publisher;
};

/// Creates the services of this operating system.
Platform createPlatform();

/// The file services alone, for what runs before the rest exists.
std::unique_ptr<FileSystem> createFileSystem();

}  // namespace ovin
