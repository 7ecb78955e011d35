// A slow driver: a refresh tick keeps within its period, stopping its reads at
// half the period, and the next tick goes on from the cell where it stopped;
// with a period long enough for the reads, every cell of every receiving
// channel is read within two periods. By
// default on the virtual module made slow (every request 300 us late, on real
// time); with TELVAR5_TEST_BACKEND=platform on the platform's own path to the
// first module (on Windows under wine: the stand-in driver, slow by nature).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

#include "core/Monitor.h"
#include "core/RefreshPeriod.h"
#include "device/PlatformDeviceBus.h"
#include "device/virtual/VirtualDeviceBus.h"
#include "protocol/ByteLayout.h"
#include "support/FakePrompts.h"
#include "support/TestDeviceBus.h"
#include "vdrv/ConfigLoader.h"
#include "vdrv/VirtualDriver.h"

using namespace telvar5;

namespace {

using WallClock = std::chrono::steady_clock;

constexpr std::size_t kCellsOfAllChannels = std::size_t{kChannels} * kInputCells;

struct CellRead {
    std::uint16_t channelNo; // 1..8, as the request carries it
    std::uint16_t cell;
    friend bool operator==(const CellRead&, const CellRead&) = default;
};

void PrintTo(const CellRead& read, std::ostream* os)
{
    *os << "channel " << read.channelNo << " cell " << read.cell;
}

// The cell a tick reads after this one when all eight channels receive.
CellRead nextCell(CellRead read)
{
    if (read.cell + 1 < kInputCells)
        return {read.channelNo, static_cast<std::uint16_t>(read.cell + 1)};
    return {static_cast<std::uint16_t>(read.channelNo + 1), 0};
}

// Forwards every call to the bus beneath and notes which cell each word read asks for.
class RecordingBus final : public DeviceBus {
public:
    explicit RecordingBus(DeviceBus& inner) : inner_(inner) { reads_.reserve(kCellsOfAllChannels); }

    DeviceHandle openDeviceByIndex(const Guid& interfaceClass, std::uint32_t index,
                                   std::uint32_t& errorCode) override
    {
        return inner_.openDeviceByIndex(interfaceClass, index, errorCode);
    }

    bool control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize, std::uint32_t& bytesReturned) override
    {
        if (code == ReqSIreadWord && in != nullptr && inSize == kReadWordSize) {
            const auto* record = static_cast<const std::uint8_t*>(in);
            reads_.push_back({getU16(record), getU16(record + 4)});
        }
        return inner_.control(handle, code, in, inSize, out, outSize, bytesReturned);
    }

    // The word reads since the last call, in the order they were sent.
    std::vector<CellRead> takeReads()
    {
        std::vector<CellRead> taken = std::move(reads_);
        reads_.clear();
        reads_.reserve(kCellsOfAllChannels);
        return taken;
    }

private:
    DeviceBus& inner_;
    std::vector<CellRead> reads_;
};

// The stand-in driver under wine is slow by itself; the in-process virtual
// module is made as slow by a fault.
std::unique_ptr<DeviceBus> slowBus()
{
    if (test::platformBackendChosen())
        return createPlatformDeviceBus().bus;
    const vdrv::ConfigLoadResult config =
        vdrv::parseConfigText("interface 0 serial 1021 inputs 8 outputs 8\nfault 0 slow 300\n", ".");
    EXPECT_TRUE(config.errors.empty()) << config.errors.front().message;
    return std::make_unique<VirtualDeviceBus>(std::make_shared<vdrv::VirtualDriver>(config));
}

std::int64_t elapsedMs(WallClock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(WallClock::now() - start).count();
}

} // namespace

TEST(SlowPath, EachTickKeepsToItsPeriodAndTwoTicksReadEveryCell)
{
    const std::unique_ptr<DeviceBus> slow = slowBus();
    ASSERT_NE(slow, nullptr);
    RecordingBus bus(*slow);
    test::FakePrompts prompts;
    Monitor monitor(bus, prompts); // the steady clock: the tick's deadline is real time

    DeviceChoice& choice = monitor.deviceChoice();
    choice.search();
    ASSERT_TRUE(choice.Button1Click()) << "no module to choose";
    choice.afterDialog();
    ASSERT_EQ(monitor.run().siChannelCount, 8u) << "the first module must have 8 inputs";
    monitor.lifecycle().DeviceInitializationExecute();
    for (int ch = 0; ch < kChannels; ++ch) {
        monitor.reception().SIChange(ch);
        monitor.reception().SIaddressPuskExecute();
    }
    monitor.reception().SIChange(0);

    // A tick with the longest period reads every cell: how long that takes on this bus, now.
    monitor.setRefreshPeriod(kMaxRefreshPeriodMs);
    bus.takeReads();
    const auto fullTickStart = WallClock::now();
    monitor.refresh().Timer1Timer();
    const double allReadsMs = std::chrono::duration<double, std::milli>(WallClock::now() - fullTickStart).count();
    ASSERT_EQ(bus.takeReads().size(), kCellsOfAllChannels) << "too slow a driver to read through in any tick";

    // 1. A period shorter than the reads: every tick stops at half the period,
    // never holds the window longer than the period, and the next one goes on
    // from the cell after the last it read, until every cell was read once.
    // (The wait between requests varies a lot under wine: nothing below counts
    // on the reads taking as long as they did above, only on their order.)
    const std::int32_t shortPeriodMs = std::max(kMinRefreshPeriodMs, static_cast<std::int32_t>(allReadsMs * 0.5));
    monitor.setRefreshPeriod(shortPeriodMs);
    std::array<std::array<int, kInputCells>, kChannels> timesRead{};
    std::vector<CellRead> previous;
    int ticks = 0;
    const CellRead lastCell{kChannels, kInputCells - 1};
    while (previous.empty() || !(previous.back() == lastCell)) {
        ASSERT_LT(ticks, 40) << "the ticks did not get through the cells";
        const auto start = WallClock::now();
        monitor.refresh().Timer1Timer();
        const std::int64_t tookMs = elapsedMs(start);
        const std::vector<CellRead> reads = bus.takeReads();
        ++ticks;
        ASSERT_FALSE(reads.empty()) << "tick " << ticks;
        EXPECT_LE(tookMs, shortPeriodMs) << "tick " << ticks << " held the window longer than the period";
        const CellRead expectedFirst = previous.empty() ? CellRead{1, 0} : nextCell(previous.back());
        EXPECT_EQ(reads.front(), expectedFirst)
            << "tick " << ticks << " must go on where the one before stopped";
        for (const CellRead& read : reads) {
            ASSERT_GE(read.channelNo, 1);
            ASSERT_LE(read.channelNo, kChannels);
            ASSERT_LT(read.cell, kInputCells);
            ++timesRead[read.channelNo - 1u][read.cell];
        }
        previous = reads;
    }
    EXPECT_GE(ticks, 2) << "a tick read every cell within half a period shorter than the reads";
    int unread = 0;
    int readAgain = 0;
    for (const auto& channel : timesRead)
        for (const int n : channel) {
            unread += n == 0;
            readAgain += n > 1;
        }
    EXPECT_EQ(unread, 0) << "cells left unread";
    EXPECT_EQ(readAgain, 0) << "cells read twice before every cell was read";

    // 2. A period long enough for the reads: every cell is read within two
    // periods, however the reads are split between the ticks. Half a period
    // is twice the reads' time as measured, room for a machine twice as busy.
    const std::int32_t periodMs = std::min(kMaxRefreshPeriodMs, static_cast<std::int32_t>(std::ceil(allReadsMs * 4)));
    monitor.setRefreshPeriod(periodMs);
    std::array<std::array<bool, kInputCells>, kChannels> seen{};
    for (int tick = 1; tick <= 2; ++tick) {
        const auto start = WallClock::now();
        monitor.refresh().Timer1Timer();
        EXPECT_LE(elapsedMs(start), periodMs) << "tick " << tick << " held the window longer than the period";
        for (const CellRead& read : bus.takeReads())
            seen[read.channelNo - 1u][read.cell] = true;
    }
    int missed = 0;
    for (const auto& channel : seen)
        missed += static_cast<int>(std::count(channel.begin(), channel.end(), false));
    EXPECT_EQ(missed, 0) << "cells not read within two periods of " << periodMs << " ms";
}
