#include "LogCapacity.h"

#include "settings/EventLog.h"

namespace ovin {

std::size_t LogCapacity() { return EventLog::kMemoCapacity; }

}  // namespace ovin
