#include "EntrySequence.h"

#include "platform/StartGate.h"
#include "sCheckPrevious.h"
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
    return "Systémová chyba. Kód: " + std::to_string(code) + ".\n" + std::string(systemText);
}

std::string HandOverFailureText(std::string_view reason)
{
    return "Další spuštění programu nebude moci otevřít jeho okno: " + std::string(reason);
}

}  // namespace ovin
