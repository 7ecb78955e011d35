#pragma once
// The reads of one refresh tick, apart from what they do to the run state:
// which cells of which receiving channels are read, in their order, and what
// the driver answered to each. A tick reads on the UI thread while that is
// quick, and hands what is left to the device thread when the driver is slow;
// either way the reads go out in one order with the same bytes, and the UI
// thread then stores the words and tells the module's health of every request
// in that order.
#include <array>
#include <bitset>
#include <cstdint>
#include <vector>

#include "core/MonotonicClock.h"
#include "core/RunState.h"
#include "device/DeviceBus.h"

namespace telvar5 {

// What the driver answered to one read.
struct ReadOutcome {
    std::uint32_t word = 0;          // valid when received
    std::uint32_t bytesReturned = 0; // as the driver counted them
    std::uint32_t systemError = 0;   // of a failed request, where the platform tells one
    bool completed = false;          // the driver completed the request
    bool received = false;           // ... and its reply holds the word
};

class TickReads {
public:
    // Room for a whole tick's reads taken once: reading never allocates (nor fails to).
    TickReads();

    // A new tick: channels marked in `receiving` are read from channel
    // `firstChannel` cell `firstCell` on (where a tick cut short stopped), to
    // `halfPeriodUs`, when the tick stops and the next goes on from there.
    void start(DeviceHandle handle, std::bitset<kChannels> receiving, std::size_t firstChannel, std::size_t firstCell,
               std::int64_t halfPeriodUs);

    // Reads on until every cell is read, the half period is over, or the
    // clock passes pauseAtUs (then it returns false and can go on later, on
    // another thread if need be). The bus is the driver's own: the module's
    // health hears of these requests when they are applied.
    bool readOn(DeviceBus& bus, const MonotonicClock& clock, std::int64_t pauseAtUs);

    bool finished() const { return finished_; }
    // Where the next tick goes on: channel kChannels when this one read everything.
    std::size_t stopChannel() const { return channel_; }
    std::size_t stopCell() const { return cell_; }

    // The reads done, in order, one run of cells per channel read.
    struct ChannelRun {
        std::size_t channel;
        std::size_t firstCell;
        std::size_t firstOutcome;
        std::size_t count;
        std::int64_t readUs; // the channel's words carry one time: when its read began
    };
    const std::vector<ChannelRun>& runs() const { return runs_; }
    const std::vector<ReadOutcome>& outcomes() const { return outcomes_; }

private:
    DeviceHandle handle_ = kInvalidHandle;
    std::bitset<kChannels> receiving_;
    std::int64_t halfPeriodUs_ = 0;
    std::size_t channel_ = 0;
    std::size_t cell_ = 0;
    std::size_t reads_ = 0; // the tick's reads so far, for when the clock is looked at
    bool finished_ = true;
    bool runOpen_ = false; // the run of channel_ is begun (its time taken)
    std::vector<ChannelRun> runs_;
    std::vector<ReadOutcome> outcomes_;
};

} // namespace telvar5
