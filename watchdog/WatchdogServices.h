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
class FilePublisher;
class SystemLog;

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
    /// The machine's log for [dohled] SystemovyLog; none: the lines stay in the program's own log.
    SystemLog* systemLog = nullptr;
    /// Writes the metrics file for [dohled] Metriky; none: no metrics.
    FilePublisher* publisher = nullptr;
};

}  // namespace ovin
