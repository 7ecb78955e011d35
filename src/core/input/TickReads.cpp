#include "core/input/TickReads.h"

#include <limits>

#include "protocol/Requests.h"

namespace telvar5 {

namespace {

// The tick looks at the clock for its half period every so many reads, as it always did.
constexpr std::size_t kReadsBetweenHalfPeriodChecks = 32;
// While it may hand its reads over, it looks more often: a slow driver's reads stop near the time given.
constexpr std::size_t kReadsBetweenPauseChecks = 8;

// Passes every request on to the driver and keeps what the module's health would hear of the last one.
class OutcomeBus final : public DeviceBus {
public:
    explicit OutcomeBus(DeviceBus& driver) : driver_(driver) {}

    DeviceHandle openDeviceByIndex(const Guid& interfaceClass, std::uint32_t index, std::uint32_t& errorCode) override
    {
        return driver_.openDeviceByIndex(interfaceClass, index, errorCode);
    }
    bool control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize, std::uint32_t& bytesReturned) override
    {
        bytesReturned = 0;
        completed = driver_.control(handle, code, in, inSize, out, outSize, bytesReturned);
        returned = completed ? bytesReturned : 0;
        // Read at once, on the thread that made the request: Windows keeps the last error per thread.
        systemError = completed ? 0 : driver_.lastErrorCode();
        return completed;
    }
    std::uint32_t lastErrorCode() const override { return driver_.lastErrorCode(); }

    bool completed = false;
    std::uint32_t returned = 0;
    std::uint32_t systemError = 0;

private:
    DeviceBus& driver_;
};

} // namespace

TickReads::TickReads()
{
    runs_.reserve(kChannels);
    outcomes_.reserve(kChannels * kInputCells);
}

void TickReads::start(DeviceHandle handle, std::bitset<kChannels> receiving, std::size_t firstChannel,
                      std::size_t firstCell, std::int64_t halfPeriodUs)
{
    handle_ = handle;
    receiving_ = receiving;
    halfPeriodUs_ = halfPeriodUs;
    channel_ = firstChannel;
    cell_ = firstCell;
    reads_ = 0;
    finished_ = false;
    runOpen_ = false;
    runs_.clear();
    outcomes_.clear();
}

bool TickReads::readOn(DeviceBus& bus, const MonotonicClock& clock, std::int64_t pauseAtUs)
{
    const bool mayPause = pauseAtUs != std::numeric_limits<std::int64_t>::max();
    OutcomeBus driver(bus);
    while (channel_ < kChannels) {
        if (!receiving_.test(channel_)) {
            ++channel_;
            cell_ = 0;
            continue;
        }
        if (!runOpen_) {
            runs_.push_back({channel_, cell_, outcomes_.size(), 0, clock.nowUs()});
            runOpen_ = true;
        }
        const auto channelNo = static_cast<std::uint16_t>(channel_ + 1);
        for (; cell_ < kInputCells; ++cell_) {
            // Every tick reads at least a few cells, so even the slowest driver is read through in the end.
            if (reads_ > 0 && reads_ % kReadsBetweenPauseChecks == 0 &&
                (mayPause || reads_ % kReadsBetweenHalfPeriodChecks == 0)) {
                const std::int64_t nowUs = clock.nowUs();
                if (reads_ % kReadsBetweenHalfPeriodChecks == 0 && nowUs > halfPeriodUs_) {
                    finished_ = true; // the next tick goes on from this cell
                    return true;
                }
                if (mayPause && nowUs > pauseAtUs)
                    return false;
            }
            ++reads_;
            ReadWordReply reply{};
            ReadOutcome outcome;
            outcome.received = sendRequest(driver, handle_, ReqSIreadWord,
                                           readWordRecord(channelNo, static_cast<std::uint16_t>(cell_)), reply);
            outcome.completed = driver.completed;
            outcome.bytesReturned = driver.returned;
            outcome.systemError = driver.systemError;
            outcome.word = outcome.received ? readWordReplyWord(reply) : 0;
            outcomes_.push_back(outcome);
            ++runs_.back().count;
        }
        runOpen_ = false;
        ++channel_;
        cell_ = 0;
    }
    finished_ = true;
    return true;
}

} // namespace telvar5
