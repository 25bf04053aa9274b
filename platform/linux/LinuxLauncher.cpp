#include "LinuxLauncher.h"

namespace ovin {

bool LinuxLauncher::open(const std::string&, const std::string&) { return false; }

}  // namespace ovin
