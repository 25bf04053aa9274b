#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace ovin {

class PreviousInstanceCheck;
class ProcessTable;
class StartGate;

/// How a start of the program goes on.
enum class EntryOutcome {
    /// Another process bears the executable's name: end at once, silently.
    NotAlone,
    /// Another instance runs: hand over to it ("showform") and end.
    HandOver,
    /// This start is the watchdog: create the main window and run.
    Admitted,
};

/// The program's entry decision, taken with the start gate held so that of
/// simultaneous starts one decides after the other: the image-name count,
/// then the instance block. Every start but the admitted one stands aside
/// before it lets the next one through. Throws std::system_error when the
/// instance block can be neither created nor opened (the gate is left then
/// too).
EntryOutcome DecideEntry(const ProcessTable& processes, StartGate& gate, PreviousInstanceCheck& check,
                         std::string_view imageName, std::chrono::milliseconds gateTimeout);

/// The report of a start that failed on a system error (the instance block neither created nor opened): the
/// system's code and its own text. A watchdog started at log-in has nobody reading its standard error, so the
/// front end shows it in a box as well.
std::string StartFailureText(int code, std::string_view systemText);

/// The report of an admitted instance that cannot listen for later starts (`reason` is the system's own text):
/// the watchdog runs all the same, but a later start, which ends at once, could not bring its window up.
std::string HandOverFailureText(std::string_view reason);

}  // namespace ovin
