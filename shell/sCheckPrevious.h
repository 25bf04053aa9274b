#pragma once

#include <cstdint>

namespace ovin {

class InstanceBlock;

/// The single-instance lock of this start, kept in the instance block: it
/// admits or refuses the start and, at the end of the run, takes an admitted
/// instance off the block's count.
class PreviousInstanceCheck final {
public:
    explicit PreviousInstanceCheck(InstanceBlock& block);
    /// The end-of-run release, however the process ends normally.
    ~PreviousInstanceCheck();
    PreviousInstanceCheck(const PreviousInstanceCheck&) = delete;
    PreviousInstanceCheck& operator=(const PreviousInstanceCheck&) = delete;

    /// Tests whether another instance of this executable runs: true means
    /// this start must end; false means it is admitted. Throws
    /// std::system_error when the block can be neither created nor opened.
    bool CheckPreviousInstance(std::int32_t window, std::int32_t maxInstances);

    /// Records the admitted instance's window once it exists.
    void SetInstanceWindow(std::int32_t window);

    /// Marks that the entry sequence consulted the block (the release only
    /// changes the count then).
    void SetTested(bool tested) { m_tested = tested; }

    /// The end-of-run release: an admitted instance takes itself off the
    /// count, and the block is given back. Runs once.
    void Release();

private:
    InstanceBlock& m_block;
    bool m_admitted = true;
    bool m_tested = false;
    bool m_held = false;
};

}  // namespace ovin
