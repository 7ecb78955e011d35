// The window over a slow module with the device thread, as the program runs
// it: the tick's handler returns while the reads go on, the window handles its
// events meanwhile, and the tick shows once its reads are done.
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

#include "device/virtual/VirtualDeviceBus.h"
#include "gui/PanelStatusBar.h"
#include "gui/TMainFrm.h"
#include "support/FakePrompts.h"
#include "vdrv/ConfigLoader.h"
#include "vdrv/VirtualDriver.h"

namespace telvar5 {
namespace {

TEST(DeviceThreadWindow, TheWindowHandlesItsEventsWhileATickReadsFromASlowModule)
{
    // 2048 reads 100 us late each: 200 ms of reads in a tick.
    const vdrv::ConfigLoadResult config =
        vdrv::parseConfigText("interface 0 serial 1021 inputs 8 outputs 8\nfault 0 slow 100\n", ".");
    ASSERT_TRUE(config.errors.empty());
    VirtualDeviceBus bus(std::make_shared<vdrv::VirtualDriver>(config));
    test::FakePrompts prompts;
    auto window = std::make_unique<TMainFrm>(bus, prompts);
    window->useDeviceThread();
    Monitor& monitor = window->monitor();
    monitor.deviceChoice().search();
    ASSERT_TRUE(monitor.deviceChoice().Button1Click());
    monitor.deviceChoice().afterDialog();
    monitor.lifecycle().DeviceInitializationExecute();
    for (int ch = 0; ch < kChannels; ++ch) {
        monitor.reception().SIChange(ch);
        monitor.reception().SIaddressPuskExecute();
    }
    const std::uint32_t counter = monitor.run().refreshCounter;

    window->Timer1Timer();
    ASSERT_TRUE(monitor.refresh().tickInFlight()) << "the handler returned while the reads go on";
    bool handledDuringTick = false;
    QTimer::singleShot(0, window.get(), [&] { handledDuringTick = monitor.refresh().tickInFlight(); });
    window->Timer1Timer(); // a timeout behind a tick still reading passes: no second tick starts
    EXPECT_TRUE(QTest::qWaitFor([&] { return !monitor.refresh().tickInFlight(); }, 5000));
    EXPECT_TRUE(handledDuringTick) << "an event was handled while the tick read";
    EXPECT_EQ(monitor.run().refreshCounter, counter + 1);
    // The tick shows once taken: its counter in the status line.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window->XPStatusBar1()->panelText(1).contains(QString::number(counter + 1)); }, 5000))
        << window->XPStatusBar1()->panelText(1).toStdString();

    // A command while a tick reads waits for it: its request goes out after the reads.
    window->Timer1Timer();
    ASSERT_TRUE(monitor.refresh().tickInFlight());
    monitor.reception().SIChange(0);
    monitor.reception().SIstopChannelExecute();
    EXPECT_FALSE(monitor.refresh().tickInFlight());
    EXPECT_EQ(monitor.run().receptionMode[0], kReceptionOff);
    window.reset(); // closes with nothing in flight
}

} // namespace
} // namespace telvar5
