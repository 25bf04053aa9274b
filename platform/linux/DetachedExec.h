#pragma once

namespace ovin {

/// Runs in a child between fork and exec, so only what is safe after a fork
/// in a threaded program: every signal back to its default and none
/// blocked, `folder` as the working folder, /dev/null for the standard
/// streams, nothing else of the watchdog's open (its log, its sockets), then
/// `argv[0]` with `envp`. When any step fails its errno goes to `report` and
/// the child ends with 127.
[[noreturn]] void ExecDetached(char* const argv[], char* const envp[], const char* folder, int report);

}  // namespace ovin
