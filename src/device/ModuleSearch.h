#pragma once
#include <string>

#include "device/DeviceBus.h"
#include "device/ModuleTable.h"

namespace telvar5 {

// Tries interface indexes 0..15 in turn until 8 modules are open; an index
// that fails to open is skipped (a gap in the ordinal numbers). Each module
// found is asked for its serial number on its own handle. Handles stay open.
ModuleTable searchModules(DeviceBus& bus);

// The line of the device list: serial number in 18 places, a blank, the
// enumeration index in 25 places.
std::string deviceListLine(const ModuleEntry& entry);

} // namespace telvar5
