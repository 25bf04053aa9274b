#pragma once

namespace ovin {

class Clock;
class CommandRunner;
class FileSystem;
class HttpClient;
class Launcher;
class MachineName;
class ProcessControl;
class ProcessTable;

/// The platform services the watchdog works with.
struct WatchdogServices {
    FileSystem& files;
    Clock& clock;
    ProcessControl& process;
    ProcessTable& processes;
    Launcher& launcher;
    HttpClient& http;
    CommandRunner& commands;
    MachineName& machine;
};

}  // namespace ovin
