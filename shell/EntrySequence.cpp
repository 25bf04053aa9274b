#include "EntrySequence.h"

#include <exception>
#include <system_error>

#include "platform/InstanceBlock.h"
#include "platform/Platform.h"
#include "platform/StartGate.h"
#include "sCheckPrevious.h"
#include "settings/Texts.h"
#include "watchdog/ProcessOps.h"

namespace ovin {

namespace {

// Leaves the gate on every way out of the decision; a start that is not
// admitted puts its name off first, so that the next one does not count it
// while it ends.
class GateTurn final {
public:
    explicit GateTurn(StartGate& gate) : m_gate(gate) {}
    ~GateTurn()
    {
        if (!m_admitted)
            m_gate.standAside();
        m_gate.leave();
    }
    GateTurn(const GateTurn&) = delete;
    GateTurn& operator=(const GateTurn&) = delete;

    void admit() { m_admitted = true; }

private:
    StartGate& m_gate;
    bool m_admitted = false;
};

}  // namespace

EntryOutcome DecideEntry(const ProcessTable& processes, StartGate& gate, PreviousInstanceCheck& check,
                         std::string_view imageName, std::chrono::milliseconds gateTimeout)
{
    // Without the gate in time the start decides as it would alone: at worst
    // it and the one at the gate both end; never do two of them run.
    (void)gate.enter(gateTimeout);
    GateTurn turn(gate);

    if (CountProcesses(processes, imageName) != 1) {
        check.SetTested(false);
        return EntryOutcome::NotAlone;
    }
    const bool another = check.CheckPreviousInstance(0, 1);
    check.SetTested(true);
    if (another)
        return EntryOutcome::HandOver;
    turn.admit();
    return EntryOutcome::Admitted;
}

std::string StartFailureText(int code, std::string_view systemText)
{
    return texts::kSystemErrorCode + std::to_string(code) + ".\n" + std::string(systemText);
}

std::string StartFailureCaption(std::string_view imageName)
{
    const std::size_t dot = imageName.rfind('.');
    return std::string(dot == std::string_view::npos || dot == 0 ? imageName : imageName.substr(0, dot));
}

std::string HandOverFailureText(std::string_view reason) { return texts::kHandOverFailed + std::string(reason); }

std::string ListenFailureText(std::string_view reason) { return texts::kCannotListen + std::string(reason); }

int RunEntry(EntryFrontEnd& frontEnd)
{
    // Until the image name is known, the report goes under the application's title at the entry.
    std::string caption = texts::kEntryTitle;
    try {
        Platform platform = frontEnd.createPlatform();
        const std::string exePath = platform.process->executablePath();
        const std::string imageName(FileNamePart(exePath));
        caption = StartFailureCaption(imageName);
        const std::unique_ptr<StartGate> gate = frontEnd.createStartGate(imageName);
        const std::unique_ptr<InstanceBlock> block = frontEnd.createInstanceBlock(exePath);
        PreviousInstanceCheck check(*block);
        switch (DecideEntry(*platform.processes, *gate, check, imageName, kStartGateTimeout)) {
        case EntryOutcome::NotAlone:
            return 0;
        case EntryOutcome::HandOver:
            if (const Result handedOver = frontEnd.handOver(*block); !handedOver) {
                frontEnd.reportStartFailure(caption, HandOverFailureText(handedOver.error));
                return 1;
            }
            return 0;
        case EntryOutcome::Admitted:
            return frontEnd.runAdmitted(platform, check, *block);
        }
        return 0;
    } catch (const std::system_error& e) {
        frontEnd.reportStartFailure(caption, StartFailureText(e.code().value(), e.what()));
        return 1;
    } catch (const std::exception& e) {
        frontEnd.reportStartFailure(caption, e.what());
        return 1;
    }
}

}  // namespace ovin
