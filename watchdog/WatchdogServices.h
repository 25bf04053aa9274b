#pragma once

namespace ovin {

class Clock;
class FileSystem;
class Launcher;
class ProcessControl;
class ProcessTable;

/// The platform services the watchdog works with.
struct WatchdogServices {
    FileSystem& files;
    Clock& clock;
    ProcessControl& process;
    ProcessTable& processes;
    Launcher& launcher;
};

}  // namespace ovin
