#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace ovin {

class InstanceBlock;
class PreviousInstanceCheck;
class ProcessTable;
class StartGate;
struct Platform;

/// How long a start that hands over waits for the running instance to take the message.
inline constexpr std::chrono::milliseconds kHandOverTimeout{3000};

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

/// The caption of a failed start's report: the program's file name without its extension, as the application's
/// title is before the application exists.
std::string StartFailureCaption(std::string_view imageName);

/// The report of a later start that could not hand over to the running instance (`reason` says why).
std::string HandOverFailureText(std::string_view reason);

/// The report of an admitted instance that cannot listen for later starts (`reason` is the system's own text):
/// the watchdog runs all the same, but a later start, which ends at once, could not bring its window up.
std::string ListenFailureText(std::string_view reason);

/// What the program's start asks of the front end that runs it: the toolkit's or the system's part of each step.
class EntryFrontEnd {
public:
    virtual ~EntryFrontEnd() = default;

    /// The services of the operating system.
    virtual Platform createPlatform() = 0;
    /// The start gate of the executable with this image name.
    virtual std::unique_ptr<StartGate> createStartGate(std::string_view imageName) = 0;
    /// The instance block of the executable at `exePath`.
    virtual std::unique_ptr<InstanceBlock> createInstanceBlock(std::string_view exePath) = 0;
    /// Another instance runs: brings its window back and asks it to show its main window ("showform"). Fails,
    /// with the reason, when the running instance could not be found or did not take the message in time.
    virtual Result handOver(const InstanceBlock& block) = 0;
    /// The admitted run: creates the main window, records it in `check`, runs the event loop until the program
    /// ends and releases `check` however the run ends; the process's exit code.
    virtual int runAdmitted(Platform& platform, PreviousInstanceCheck& check, const InstanceBlock& block) = 0;
    /// Shows the report of a start that failed and returns once it has been answered (on the standard error
    /// stream always, in a box wherever there is a display).
    virtual void reportStartFailure(const std::string& caption, const std::string& text) = 0;
};

/// The program's start, whatever the front end: the platform, the image name, the gate, the instance block, the
/// decision, then the hand-over or the admitted run. A start that fails (a system error, or a hand-over that did
/// not reach the running instance) is reported through the front end and ends with the exit code 1; otherwise
/// the code is 0, or the admitted run's own.
int RunEntry(EntryFrontEnd& frontEnd);

}  // namespace ovin
