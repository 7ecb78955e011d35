#pragma once
// The virtual TELVAR-5 driver. It stands where the kernel driver stands on
// Windows: the program calls it in-process through DeviceBus, one synchronous
// request at a time, and it answers as the real module would. A request is a
// plain function call under one lock: no allocation, no system call, one read
// of the steady clock; a module without faults costs one more test. A slow
// fault waits after the lock is released. The bench socket (a small thread of
// its own) lets a developer look into the modules, inject words and faults.
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "protocol/DeviceInterface.h"
#include "protocol/Requests.h"
#include "vdrv/Clock.h"
#include "vdrv/DriverConfig.h"
#include "vdrv/ModuleSnapshot.h"
#include "vdrv/RequestLog.h"
#include "vdrv/Transmitter.h"

namespace telvar5::vdrv {

class Module;
class BenchServer;

inline constexpr std::uint32_t kErrorNoMoreItems = 259;      // no such interface
inline constexpr std::uint32_t kErrorTooManyOpenFiles = 4;
inline constexpr std::size_t kMaxHandles = 4096;

class VirtualDriver {
public:
    // A driver for a loaded configuration; keeps its errors for the bench.
    // Starts the bench socket when the configuration names one. No clock:
    // the steady clock.
    explicit VirtualDriver(const ConfigLoadResult& loaded, std::shared_ptr<const Clock> clock = {});
    explicit VirtualDriver(const DriverConfig& config, std::shared_ptr<const Clock> clock = {});
    ~VirtualDriver();
    VirtualDriver(const VirtualDriver&) = delete;
    VirtualDriver& operator=(const VirtualDriver&) = delete;

    // A missing file gives a driver without interfaces (a computer without the card).
    static std::shared_ptr<VirtualDriver> fromConfigFile(const std::filesystem::path& path,
                                                         std::shared_ptr<const Clock> clock = {});
    // "telvar5-vdrv.conf" in the current directory, else /etc/telvar5/telvar5-vdrv.conf.
    static std::shared_ptr<VirtualDriver> fromInstalledConfig(std::shared_ptr<const Clock> clock = {});

    // --- The driver's entry points -------------------------------------------------
    // Opens the index-th interface of the class. Another class, or an index
    // without an interface: kErrorNoMoreItems. An interface configured to fail
    // gives its error code. Every open returns a fresh handle.
    DeviceHandle openDeviceByIndex(const Guid& interfaceClass, std::uint32_t index, std::uint32_t& errorCode);

    // Closes a handle: every later request on it fails. Handles are never
    // given out again, so a closed one cannot reach another module. A handle
    // that is unknown or already closed changes nothing.
    void closeHandle(DeviceHandle handle);

    // One request. Fails (false, bytesReturned 0, out untouched) for an unknown
    // handle or code, an input size other than the request's, an output room
    // smaller than its reply, a fault, or a refusal by the module. Faults may
    // also make it succeed with random or fewer reply bytes (out is written up
    // to bytesReturned only) or return late.
    bool control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize, std::uint32_t& bytesReturned);

    // --- Configuration ---------------------------------------------------------------
    const std::string& configPath() const { return configPath_; }
    const std::vector<ConfigError>& configErrors() const { return configErrors_; }
    const std::string& benchSocketPath() const { return benchSocket_; }
    bool benchRunning() const;
    const std::string& benchError() const { return benchError_; } // why the bench socket did not start

    // --- Bench -------------------------------------------------------------------------
    // Microseconds since the driver started, the time base of logs and records.
    Micros elapsedUs() const;
    std::vector<ModuleSnapshot> modules();
    // The last n requests, oldest first; optionally clears the log after taking them.
    std::vector<LogEntry> requestLog(std::size_t lastN = kRequestLogCapacity, bool clearAfter = false);
    // Words arrive on input channel 1..8 of the interface now, in order.
    bool injectWords(int interfaceIndex, int channel, std::span<const std::uint32_t> words, std::string& error);
    // The last n words the transmitter of output channel 1..8 sent, oldest first.
    bool sentWords(int interfaceIndex, int channel, std::size_t lastN, std::vector<SentWord>& words,
                   TransmitterSnapshot& state, std::string& error);
    // A fault statement for one module, or for every module (kAllInterfaces).
    bool setFault(int interfaceIndex, const FaultSetting& setting, std::string& error);

private:
    bool serve(Module& module, const RequestInfo& info, Micros now, const std::uint8_t* in, void* out,
               std::uint32_t& bytesReturned, LogEntry& entry);
    bool serveWithFaults(std::unique_lock<std::mutex>& lock, Module& module, const RequestInfo& info, Micros now,
                         const std::uint8_t* in, void* out, std::uint32_t& bytesReturned, LogEntry& entry);
    static void answer(const std::uint8_t* reply, std::uint32_t n, void* out, std::uint32_t& bytesReturned,
                       LogEntry& entry);
    Module* moduleAt(int interfaceIndex, std::string& error);
    int interfaceOf(DeviceHandle handle) const;

    std::shared_ptr<const Clock> clock_;
    Micros start_ = 0;
    std::string configPath_;
    std::vector<ConfigError> configErrors_;
    std::array<InterfaceConfig, kMaxInterfaces> interfaces_{}; // without traffic (kept in the modules)
    std::array<std::unique_ptr<Module>, kMaxInterfaces> modules_; // null; with {} clang wants Module complete in every includer
    std::array<std::uint32_t, kMaxInterfaces> openHandles_{};
    std::vector<std::int8_t> handleInterfaces_; // handle i -> interface index
    RequestLog log_;
    mutable std::mutex mutex_;

    std::string benchSocket_;
    std::string benchError_;
    std::unique_ptr<BenchServer> bench_; // last: stopped first
};

} // namespace telvar5::vdrv
