#pragma once

#include <cstddef>

namespace ovin {

/// How many bytes the program's Event log holds. Defined once per executable: the program's own definition
/// gives the full capacity; a build made for tests links one that gives a small one.
std::size_t LogCapacity();

}  // namespace ovin
