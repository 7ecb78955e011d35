// telvar5-standin-setup: sets up the stand-in TELVAR-5 driver's devices in a
// (wine) Windows, one root-enumerated device per module of a virtual module
// configuration, and takes them away again. Test equipment only.
//
//   telvar5-standin-setup install --config FILE --inf FILE   a device per module the file holds
//   telvar5-standin-setup add --module I --inf FILE          the device of module I
//   telvar5-standin-setup remove --module I | --all          DIF_REMOVE
#include <windows.h>
#include <setupapi.h>
#include <newdev.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "standin/StandInExchange.h"
#include "vdrv/ConfigLoader.h"

namespace {

constexpr char kHardwareId[] = "Root\\TELVAR5_STANDIN";
// SetupAPI wants a list of strings, ended by an empty one.
constexpr char kHardwareIdList[] = "Root\\TELVAR5_STANDIN\0";

std::string instanceId(unsigned module)
{
    char id[64];
    std::snprintf(id, sizeof id, "ROOT\\TELVAR5_STANDIN\\%04u", module);
    return id;
}

bool fail(const char* what, unsigned module)
{
    std::fprintf(stderr, "telvar5-standin-setup: module %u: %s failed (error %lu)\n", module, what, GetLastError());
    return false;
}

// A device information set with room for one device, released on every way out.
struct DeviceInfoList {
    HDEVINFO set = SetupDiCreateDeviceInfoList(nullptr, nullptr);
    SP_DEVINFO_DATA device{sizeof(SP_DEVINFO_DATA), {}, 0, 0};
    DeviceInfoList() = default;
    DeviceInfoList(const DeviceInfoList&) = delete;
    DeviceInfoList& operator=(const DeviceInfoList&) = delete;
    ~DeviceInfoList()
    {
        if (set != INVALID_HANDLE_VALUE)
            SetupDiDestroyDeviceInfoList(set);
    }
    // The device of the module, if it is set up.
    bool open(unsigned module)
    {
        return set != INVALID_HANDLE_VALUE && SetupDiOpenDeviceInfoA(set, instanceId(module).c_str(), nullptr, 0, &device);
    }
};

// Registers the device of one module, with its place in the configuration.
bool registerDevice(unsigned module)
{
    DeviceInfoList list;
    HDEVINFO set = list.set;
    SP_DEVINFO_DATA& device = list.device;
    if (set == INVALID_HANDLE_VALUE)
        return fail("SetupDiCreateDeviceInfoList", module);
    bool ok = false;
    const std::string id = instanceId(module);
    if (!SetupDiCreateDeviceInfoA(set, id.c_str(), &GUID_NULL, nullptr, nullptr, 0, &device))
        fail("SetupDiCreateDeviceInfo", module);
    else if (!SetupDiSetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID,
                                                reinterpret_cast<const BYTE*>(kHardwareIdList),
                                                sizeof kHardwareIdList))
        fail("SPDRP_HARDWAREID", module);
    else if (!SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set, &device))
        fail("DIF_REGISTERDEVICE", module);
    else {
        HKEY key = SetupDiCreateDevRegKeyA(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
        if (key == INVALID_HANDLE_VALUE) {
            fail("SetupDiCreateDevRegKey", module);
        } else {
            const DWORD value = module;
            ok = RegSetValueExA(key, T5SI_MODULE_VALUE_A, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                sizeof value) == ERROR_SUCCESS;
            RegCloseKey(key);
            if (!ok)
                fail("writing " T5SI_MODULE_VALUE_A, module);
        }
    }
    return ok;
}

// Installs the driver on every device of its hardware ID: copies the .sys,
// creates the service and starts the devices.
bool installDriver(const std::string& inf)
{
    char full[MAX_PATH];
    if (!GetFullPathNameA(inf.c_str(), sizeof full, full, nullptr)) {
        std::fprintf(stderr, "telvar5-standin-setup: no such .inf: %s\n", inf.c_str());
        return false;
    }
    BOOL reboot = FALSE;
    if (!UpdateDriverForPlugAndPlayDevicesA(nullptr, kHardwareId, full, INSTALLFLAG_FORCE, &reboot)) {
        const DWORD error = GetLastError();
        std::fprintf(stderr, "telvar5-standin-setup: UpdateDriverForPlugAndPlayDevices failed (error %lu)%s\n", error,
                     error == ERROR_SHARING_VIOLATION
                         ? ": a running wine holds the driver file; stop it (wineserver -k) and copy the new "
                           ".sys into the prefix's drive_c/windows/system32/drivers"
                         : "");
        return false;
    }
    return true;
}

bool removeDevice(unsigned module)
{
    DeviceInfoList list;
    if (!list.open(module))
        return fail("SetupDiOpenDeviceInfo", module);
    if (!SetupDiCallClassInstaller(DIF_REMOVE, list.set, &list.device))
        return fail("DIF_REMOVE", module);
    return true;
}

int usage()
{
    std::fprintf(stderr, "usage: telvar5-standin-setup install --config FILE --inf FILE\n"
                         "       telvar5-standin-setup add --module I --inf FILE\n"
                         "       telvar5-standin-setup remove --module I | --all\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage();
    const std::string command = argv[1];
    std::string config, inf;
    int module = -1;
    bool all = false;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--config" && i + 1 < argc)
            config = argv[++i];
        else if (arg == "--inf" && i + 1 < argc)
            inf = argv[++i];
        else if (arg == "--module" && i + 1 < argc)
            module = std::atoi(argv[++i]);
        else if (arg == "--all")
            all = true;
        else
            return usage();
    }

    if (command == "install" && !config.empty() && !inf.empty()) {
        // The modules the configuration holds: one device for each present
        // interface, at its own enumeration index (a gap stays a gap).
        const telvar5::vdrv::ConfigLoadResult loaded = telvar5::vdrv::loadConfigFile(config);
        if (!loaded.found) {
            std::fprintf(stderr, "telvar5-standin-setup: no configuration file %s\n", config.c_str());
            return 1;
        }
        std::vector<unsigned> modules;
        for (unsigned i = 0; i < T5SI_MAX_MODULES; ++i)
            if (loaded.config.interfaces[i].present)
                modules.push_back(i);
        for (unsigned m : modules)
            if (!registerDevice(m))
                return 1;
        if (!modules.empty() && !installDriver(inf))
            return 1;
        std::printf("installed %zu stand-in modules\n", modules.size());
        return 0;
    }
    if (command == "add" && module >= 0 && module < static_cast<int>(T5SI_MAX_MODULES) && !inf.empty()) {
        if (!registerDevice(static_cast<unsigned>(module)) || !installDriver(inf))
            return 1;
        std::printf("added stand-in module %d\n", module);
        return 0;
    }
    if (command == "remove" && (all || (module >= 0 && module < static_cast<int>(T5SI_MAX_MODULES)))) {
        if (!all)
            return removeDevice(static_cast<unsigned>(module)) ? 0 : 1;
        int removed = 0;
        for (unsigned i = 0; i < T5SI_MAX_MODULES; ++i)
            if (DeviceInfoList().open(i) && removeDevice(i))
                ++removed;
        std::printf("removed %d stand-in modules\n", removed);
        return 0;
    }
    return usage();
}
