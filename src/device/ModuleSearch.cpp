#include "device/ModuleSearch.h"

#include <cstdio>

#include "protocol/Requests.h"

namespace telvar5 {

ModuleTable searchModules(DeviceBus& bus)
{
    ModuleTable table;
    for (std::uint32_t index = 0; index < kMaxInterfaceIndex && table.count < kMaxModules; ++index) {
        std::uint32_t error = 0;
        const DeviceHandle handle = bus.openDeviceByIndex(kTelvar5InterfaceClass, index, error);
        if (handle == kInvalidHandle)
            continue;
        ShortReply reply{};
        // A failed request leaves the reply zero: the module is listed with serial 0.
        sendRequest(bus, handle, ReqSerialNumber, NoRecord{}, reply);
        ModuleEntry& entry = table.entries[table.count];
        entry.handle = handle;
        entry.enumerationIndex = index;
        entry.serialNumber = shortReplyValue(reply);
        ++table.count;
    }
    return table;
}

std::string deviceListLine(const ModuleEntry& entry)
{
    char line[64];
    std::snprintf(line, sizeof line, "%18d %25d", static_cast<int>(entry.serialNumber),
                  static_cast<int>(entry.enumerationIndex));
    return line;
}

} // namespace telvar5
