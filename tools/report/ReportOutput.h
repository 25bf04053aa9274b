#pragma once

#include <string>
#include <vector>

#include "MachineReport.h"

namespace ovin::report {

/// The readable table: for one machine a row per day, the totals and the
/// longest outage; for several machines a row per machine, worst
/// availability first.
std::string tableText(const std::vector<MachineReport>& machines);

/// A header line, then one row per machine and day.
std::string csvText(const std::vector<MachineReport>& machines);

/// {"machines": [{"name", "totals", "days", "undated"}]}, with field names
/// that stay as they are for the scripts that read them.
std::string jsonText(const std::vector<MachineReport>& machines);

/// One page that needs nothing from the network: per machine a chart (stalls,
/// crashes and launch failures per day as stacked bars, downtime as a line)
/// above its table. Every character outside ASCII is written as a character
/// reference, so the page reads the same whatever code page stores it.
std::string htmlPage(const std::vector<MachineReport>& machines);

/// The order of the fleet's view: worst availability first, then by name.
std::vector<const MachineReport*> fleetOrder(const std::vector<MachineReport>& machines);

}  // namespace ovin::report
