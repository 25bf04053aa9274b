#pragma once

#include <cstdint>
#include <memory>

namespace ovin::win32 {

/// A start that waits at the start gate or has stood aside says so with a
/// named object of its own process id in the session. A Windows process
/// cannot change the image name it is listed under; the process table lists
/// a process that carries this mark under another name instead. The mark
/// goes with its process, however that ends.
class AsideMark final {
public:
    /// Puts the mark up for this process; it stays until the object goes.
    AsideMark();
    ~AsideMark();
    AsideMark(const AsideMark&) = delete;
    AsideMark& operator=(const AsideMark&) = delete;

    /// True when the process with this id carries the mark.
    static bool isMarked(std::uint32_t pid);

private:
    void* m_handle;
};

}  // namespace ovin::win32
