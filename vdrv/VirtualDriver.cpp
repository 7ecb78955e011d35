#include "vdrv/VirtualDriver.h"

#include <algorithm>
#include <cstring>

#include "protocol/Requests.h"
#include "vdrv/BenchCommands.h"
#include "vdrv/BenchServer.h"
#include "vdrv/ConfigLoader.h"
#include "vdrv/Module.h"
#include "vdrv/SteadyClock.h"

namespace telvar5::vdrv {

namespace {
// Handles look like the system's: never 0, never the invalid value, steps of 4.
constexpr DeviceHandle kHandleBase = 0x1000;
constexpr DeviceHandle kHandleStep = 4;

// The table row of a control code in a few instructions (the codes' functions
// lie in 0x80C..0x83B), since every request looks its code up.
class RequestIndex {
public:
    constexpr RequestIndex()
    {
        rows_.fill(nullptr);
        for (const RequestInfo& info : kRequestTable)
            rows_[((info.code >> 2) & 0xFFFu) - kFirstFunction] = &info;
    }
    constexpr const RequestInfo* find(std::uint32_t code) const
    {
        const std::uint32_t function = (code >> 2) & 0xFFFu;
        if (function < kFirstFunction || function >= kFirstFunction + rows_.size() || controlCode(function) != code)
            return nullptr;
        return rows_[function - kFirstFunction];
    }

private:
    static constexpr std::uint32_t kFirstFunction = 0x80C;
    std::array<const RequestInfo*, 0x83C - kFirstFunction> rows_{};
};

constexpr RequestIndex kRequestIndex;
} // namespace

VirtualDriver::VirtualDriver(const DriverConfig& config, std::shared_ptr<const Clock> clock)
    : VirtualDriver(ConfigLoadResult{true, {}, config, {}}, std::move(clock))
{
}

VirtualDriver::VirtualDriver(const ConfigLoadResult& loaded, std::shared_ptr<const Clock> clock)
    : clock_(clock ? std::move(clock) : std::make_shared<SteadyClock>()), start_(clock_->nowUs()),
      configPath_(loaded.path), configErrors_(loaded.errors), benchSocket_(loaded.config.benchSocket)
{
    for (int i = 0; i < kMaxInterfaces; ++i) {
        const InterfaceConfig& ic = loaded.config.interfaces[i];
        interfaces_[i] = ic;
        interfaces_[i].traffic = {};
        if (ic.present && !ic.failsToOpen)
            modules_[i] = std::make_unique<Module>(ic);
    }
    handleInterfaces_.reserve(64);
    if (!benchSocket_.empty()) {
        bench_ = std::make_unique<BenchServer>();
        if (!bench_->start(
                benchSocket_, [this](const std::string& line) { return BenchCommands(*this).execute(line); },
                benchError_))
            bench_.reset();
    }
}

VirtualDriver::~VirtualDriver()
{
    bench_.reset(); // the bench thread calls into this object: stop it first
}

std::shared_ptr<VirtualDriver> VirtualDriver::fromConfigFile(const std::filesystem::path& path,
                                                             std::shared_ptr<const Clock> clock)
{
    return std::make_shared<VirtualDriver>(loadConfigFile(path), std::move(clock));
}

std::shared_ptr<VirtualDriver> VirtualDriver::fromInstalledConfig(std::shared_ptr<const Clock> clock)
{
    const std::filesystem::path path = findInstalledConfig();
    if (path.empty())
        return std::make_shared<VirtualDriver>(ConfigLoadResult{}, std::move(clock));
    return fromConfigFile(path, std::move(clock));
}

bool VirtualDriver::benchRunning() const { return bench_ && bench_->running(); }

Micros VirtualDriver::elapsedUs() const { return clock_->nowUs() - start_; }

int VirtualDriver::interfaceOf(DeviceHandle handle) const
{
    if (handle < kHandleBase || (handle - kHandleBase) % kHandleStep != 0)
        return -1;
    const DeviceHandle i = (handle - kHandleBase) / kHandleStep;
    return i < handleInterfaces_.size() ? handleInterfaces_[i] : -1;
}

DeviceHandle VirtualDriver::openDeviceByIndex(const Guid& interfaceClass, std::uint32_t index,
                                              std::uint32_t& errorCode)
{
    std::lock_guard lock(mutex_);
    if (!(interfaceClass == kTelvar5InterfaceClass) || index >= kMaxInterfaces || !interfaces_[index].present
        || (modules_[index] && modules_[index]->faults().vanished())) {
        errorCode = kErrorNoMoreItems;
        return kInvalidHandle;
    }
    if (interfaces_[index].failsToOpen) {
        errorCode = interfaces_[index].openError;
        return kInvalidHandle;
    }
    if (handleInterfaces_.size() >= kMaxHandles) {
        errorCode = kErrorTooManyOpenFiles;
        return kInvalidHandle;
    }
    handleInterfaces_.push_back(static_cast<std::int8_t>(index));
    ++openHandles_[index];
    errorCode = 0;
    return kHandleBase + (handleInterfaces_.size() - 1) * kHandleStep;
}

void VirtualDriver::closeHandle(DeviceHandle handle)
{
    std::lock_guard lock(mutex_);
    const int iface = interfaceOf(handle);
    if (iface < 0)
        return;
    handleInterfaces_[(handle - kHandleBase) / kHandleStep] = -1;
    --openHandles_[static_cast<std::size_t>(iface)];
}

bool VirtualDriver::control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                            std::uint32_t outSize, std::uint32_t& bytesReturned)
{
    bytesReturned = 0;
    std::unique_lock lock(mutex_);
    const Micros now = elapsedUs();
    const int iface = interfaceOf(handle);
    const auto* inBytes = static_cast<const std::uint8_t*>(in);

    LogEntry& entry = log_.append();
    entry.timeUs = now;
    entry.handle = handle;
    entry.interfaceIndex = static_cast<std::int8_t>(iface);
    entry.ok = false;
    entry.code = code;
    entry.inSize = inSize;
    entry.outSize = outSize;
    entry.bytesReturned = 0;
    entry.faults = 0;
    entry.delayUs = 0;
    std::memset(entry.in.data(), 0, kLoggedInputBytes);
    std::memset(entry.reply.data(), 0, kLoggedReplyBytes);
    if (inBytes)
        std::memcpy(entry.in.data(), inBytes, inSize < kLoggedInputBytes ? inSize : kLoggedInputBytes);

    if (iface < 0)
        return false;
    const RequestInfo* info = kRequestIndex.find(code);
    if (!info || inSize != info->inSize || outSize < info->outSize || (info->inSize != 0 && !in)
        || (info->outSize != 0 && !out))
        return false;
    Module& module = *modules_[iface];
    if (module.faults().active()) [[unlikely]]
        return serveWithFaults(lock, module, *info, now, inBytes, out, bytesReturned, entry);
    return serve(module, *info, now, inBytes, out, bytesReturned, entry);
}

bool VirtualDriver::serve(Module& module, const RequestInfo& info, Micros now, const std::uint8_t* in, void* out,
                          std::uint32_t& bytesReturned, LogEntry& entry)
{
    module.advanceTo(now);
    std::uint8_t reply[kLoggedReplyBytes] = {};
    if (!module.execute(now, info.code, in, reply))
        return false;
    answer(reply, info.outSize, out, bytesReturned, entry);
    return true;
}

// The request goes as the faults decide; a delay is waited out after the lock
// is released, so the bench and other callers are not held up by it.
bool VirtualDriver::serveWithFaults(std::unique_lock<std::mutex>& lock, Module& module, const RequestInfo& info,
                                    Micros now, const std::uint8_t* in, void* out, std::uint32_t& bytesReturned,
                                    LogEntry& entry)
{
    const FaultDecision d = module.faults().decide(static_cast<std::size_t>(&info - kRequestTable.data()), info.outSize);
    entry.delayUs = d.delayUs;
    bool ok = false;
    if (d.fail) {
        entry.faults = d.vanished ? kLoggedVanished : kLoggedFailed;
    } else {
        module.advanceTo(now);
        std::uint8_t reply[kLoggedReplyBytes] = {};
        ok = module.execute(now, info.code, in, reply);
        if (ok) {
            if (d.random) {
                module.faults().fillRandom(reply, info.outSize);
                entry.faults |= kLoggedRandom;
            }
            if (d.shortened)
                entry.faults |= kLoggedShort;
            answer(reply, d.shortened ? d.shortBytes : info.outSize, out, bytesReturned, entry);
        }
    }
    lock.unlock(); // entry is the log's: not touched from here on
    if (d.delayUs != 0)
        clock_->waitUs(d.delayUs);
    return ok;
}

void VirtualDriver::answer(const std::uint8_t* reply, std::uint32_t n, void* out, std::uint32_t& bytesReturned,
                           LogEntry& entry)
{
    if (n != 0)
        std::memcpy(out, reply, n);
    bytesReturned = n;
    entry.ok = true;
    entry.bytesReturned = n;
    std::memcpy(entry.reply.data(), reply, n);
}

Module* VirtualDriver::moduleAt(int interfaceIndex, std::string& error)
{
    if (interfaceIndex < 0 || interfaceIndex >= kMaxInterfaces) {
        error = "interface index must be 0..15";
        return nullptr;
    }
    if (!modules_[interfaceIndex]) {
        error = "interface " + std::to_string(interfaceIndex)
            + (interfaces_[interfaceIndex].present ? " fails to open and has no module" : " is not configured");
        return nullptr;
    }
    return modules_[interfaceIndex].get();
}

std::vector<ModuleSnapshot> VirtualDriver::modules()
{
    std::vector<ModuleSnapshot> out;
    std::lock_guard lock(mutex_);
    const Micros now = elapsedUs();
    for (int i = 0; i < kMaxInterfaces; ++i) {
        const InterfaceConfig& ic = interfaces_[i];
        if (!ic.present)
            continue;
        ModuleSnapshot s;
        if (modules_[i]) {
            s = modules_[i]->snapshot(now);
        } else {
            s.failsToOpen = true;
            s.openError = ic.openError;
        }
        s.interfaceIndex = i;
        s.openHandles = openHandles_[i];
        out.push_back(s);
    }
    return out;
}

std::vector<LogEntry> VirtualDriver::requestLog(std::size_t lastN, bool clearAfter)
{
    std::lock_guard lock(mutex_);
    std::vector<LogEntry> entries = log_.last(lastN);
    if (clearAfter)
        log_.clear();
    return entries;
}

bool VirtualDriver::injectWords(int interfaceIndex, int channel, std::span<const std::uint32_t> words,
                                std::string& error)
{
    std::lock_guard lock(mutex_);
    Module* module = moduleAt(interfaceIndex, error);
    return module && module->inject(elapsedUs(), channel, words, error);
}

bool VirtualDriver::sentWords(int interfaceIndex, int channel, std::size_t lastN, std::vector<SentWord>& words,
                              TransmitterSnapshot& state, std::string& error)
{
    std::lock_guard lock(mutex_);
    Module* module = moduleAt(interfaceIndex, error);
    if (!module)
        return false;
    const Micros now = elapsedUs();
    const Transmitter* tx = module->transmitterAt(now, channel);
    if (!tx) {
        error = "the module has no output channel " + std::to_string(channel);
        return false;
    }
    words = tx->sentWords(lastN);
    state = module->snapshot(now).transmitters[channel - 1];
    return true;
}

bool VirtualDriver::setFault(int interfaceIndex, const FaultSetting& setting, std::string& error)
{
    std::lock_guard lock(mutex_);
    if (interfaceIndex == kAllInterfaces) {
        for (auto& m : modules_) {
            if (m)
                m->faults().apply(setting);
        }
        return true;
    }
    Module* m = moduleAt(interfaceIndex, error);
    if (m)
        m->faults().apply(setting);
    return m != nullptr;
}

} // namespace telvar5::vdrv
