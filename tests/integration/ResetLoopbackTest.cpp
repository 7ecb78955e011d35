// A stop and an initialisation while output 1 is looped back onto input 1 in
// address reception: the words that came before them, read or not, never come
// back afterwards stamped as new; input 1 stays empty until new words arrive.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/VirtualModuleMonitor.h"

using namespace telvar5;

namespace {

constexpr vdrv::Micros kPeriodUs = 100'000;

std::size_t storedCells(const Monitor& monitor)
{
    const InputChannelBuffer& cells = monitor.run().inputBuffer[0];
    return static_cast<std::size_t>(std::count_if(cells.begin(), cells.end(), [](const InputCell& c) { return c.word != 0; }));
}

TEST(ResetLoopback, NoWordFromBeforeAStopAndInitialisationComesBackAsNew)
{
    test::VirtualModuleMonitor m(1'000'000);
    ASSERT_TRUE(m.chooseModule());
    Monitor& monitor = *m.monitor;
    auto tick = [&] {
        m.clock->advanceUs(kPeriodUs);
        monitor.refresh().Timer1Timer();
    };

    monitor.lifecycle().DeviceInitializationExecute();
    monitor.reception().SIaddressPuskExecute();
    monitor.outputArrays().SOdataTestExecute();
    monitor.output().SOciclePuskExecute();
    tick();
    ASSERT_GT(storedCells(monitor), 0u) << "the loopback brings the array to input 1";

    m.clock->advanceUs(kPeriodUs); // more words arrive, unread, before the stop
    monitor.lifecycle().DeviceResetExecute();
    monitor.lifecycle().DeviceInitializationExecute();
    tick();
    tick();
    EXPECT_EQ(storedCells(monitor), 0u);

    // Once reception and output start again, the words come back as new ones.
    monitor.reception().SIaddressPuskExecute();
    monitor.output().SOciclePuskExecute();
    tick();
    EXPECT_GT(storedCells(monitor), 0u);
}

} // namespace
