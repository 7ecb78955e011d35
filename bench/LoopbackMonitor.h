#pragma once
// A monitor on the virtual driver, on a clock the benchmark moves: all eight
// outputs transmit a 256-word array cyclically at 100 kbit/s and all eight
// inputs receive their loopback, the busiest the module can be.
#include <memory>
#include <string>

#include "ReceivingMonitor.h"
#include "core/output/OutputArrays.h"
#include "vdrv/ManualClock.h"

namespace telvar5::bench {

struct LoopbackMonitor {
    std::shared_ptr<vdrv::ManualClock> clock = std::make_shared<vdrv::ManualClock>();
    std::unique_ptr<VirtualDeviceBus> bus;
    NoPrompts prompts;
    std::unique_ptr<Monitor> monitor;

    LoopbackMonitor()
    {
        bus = std::make_unique<VirtualDeviceBus>(std::make_shared<vdrv::VirtualDriver>(
            vdrv::parseConfigText("interface 0 serial 1021 inputs 8 outputs 8\n", "/tmp"), clock));
        monitor = std::make_unique<Monitor>(*bus, prompts);
        DeviceChoice& choice = monitor->deviceChoice();
        choice.search();
        choice.Button1Click();
        choice.afterDialog();
        monitor->run().freqCodes.fill(2); // 100 kHz on every channel
        monitor->lifecycle().DeviceInitializationExecute();
        for (int tab = kChannels - 1; tab >= 0; --tab) {
            monitor->reception().SIChange(tab);
            tab % 2 ? monitor->reception().SIfilePuskExecute() : monitor->reception().SIaddressPuskExecute();
            monitor->outputArrays().SOChange(tab);
            monitor->outputArrays().SOdataTestExecute(); // labels 0..255, bits 17..32 never all zero
            monitor->output().SOciclePuskExecute();
        }
    }

    // One period of the refresh timer passes, then Timer1 ticks.
    TickResult tick(vdrv::Micros periodUs)
    {
        clock->advanceUs(periodUs);
        return monitor->refresh().Timer1Timer();
    }
};

} // namespace telvar5::bench
