// telvar5-probe: lists the TELVAR-5 modules this computer offers, in the order
// the device choice dialog would list them. On Windows it asks the module's
// driver; on Linux the virtual TELVAR-5 driver.
#include <cstdio>
#include <cstring>
#include <memory>

#include "device/ModuleSearch.h"
#include "device/PlatformDeviceBus.h"

namespace {

void printUsage(std::FILE* to)
{
    std::fputs("Usage: telvar5-probe [--help]\n"
               "Lists the TELVAR-5 modules found: one line per module with its serial number\n"
               "and its ordinal number (the index under which its device interface was\n"
               "enumerated). At most 8 modules are listed, from interface indexes 0 to 15.\n",
               to);
#ifndef _WIN32
    std::fputs("The modules are those of the virtual TELVAR-5 driver, as configured in\n"
               "./telvar5-vdrv.conf, else /etc/telvar5/telvar5-vdrv.conf.\n",
               to);
#endif
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            printUsage(stdout);
            return 0;
        }
        std::fprintf(stderr, "telvar5-probe: unknown option '%s'\n", argv[i]);
        printUsage(stderr);
        return 2;
    }

    const std::unique_ptr<telvar5::DeviceBus> bus = telvar5::createPlatformDeviceBus().bus;
    telvar5::ModuleTable table;
    if (bus)
        table = telvar5::searchModules(*bus);

    if (table.count == 0) {
        std::puts("No TELVAR-5 module found.");
        return 0;
    }
    std::printf("%u TELVAR-5 module(s) found:\n", static_cast<unsigned>(table.count));
    for (std::size_t i = 0; i < table.count; ++i) {
        const telvar5::ModuleEntry& entry = table.entries[i];
        std::printf("serial number %5u  ordinal number %2u\n", static_cast<unsigned>(entry.serialNumber),
                    static_cast<unsigned>(entry.enumerationIndex));
    }
    return 0;
}
