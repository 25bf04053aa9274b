// Linked into a build of the program made for tests only: its log takes
// OVIN_TEST_LOG_CAPACITY bytes instead of a gigabyte, so that a test can fill
// it in seconds.

#include "settings/EventLog.h"

namespace {

const bool kCapacitySet = (ovin::EventLog::setDefaultCapacity(OVIN_TEST_LOG_CAPACITY), true);

}  // namespace
