// Linked into a build of the program made for tests only, in place of the program's own capacity: its log takes
// OVIN_TEST_LOG_CAPACITY bytes instead of a gigabyte, so that a test can fill it in seconds.

#include "shell/qt/LogCapacity.h"

namespace ovin {

std::size_t LogCapacity() { return OVIN_TEST_LOG_CAPACITY; }

}  // namespace ovin
