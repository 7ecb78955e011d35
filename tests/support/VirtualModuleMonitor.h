#pragma once
// A monitor on the real virtual driver, one module with 8 inputs and 8
// outputs (each output wired to its input), on a clock the test moves: the
// monitor's clock reads the driver's. The module is chosen; the test sets bit
// rates or the period as it needs and initialises it.
#include <cstdint>
#include <memory>

#include "core/Monitor.h"
#include "device/virtual/VirtualDeviceBus.h"
#include "support/FakePrompts.h"
#include "support/SharedClock.h"
#include "vdrv/ConfigLoader.h"
#include "vdrv/ManualClock.h"
#include "vdrv/VirtualDriver.h"

namespace telvar5::test {

struct VirtualModuleMonitor {
    std::shared_ptr<vdrv::ManualClock> clock;
    SharedClock monitorClock;
    std::unique_ptr<VirtualDeviceBus> bus;
    FakePrompts prompts;
    std::unique_ptr<Monitor> monitor;

    explicit VirtualModuleMonitor(std::int64_t startUs)
        : clock(std::make_shared<vdrv::ManualClock>(startUs)), monitorClock(*clock),
          bus(std::make_unique<VirtualDeviceBus>(std::make_shared<vdrv::VirtualDriver>(
              vdrv::parseConfigText("interface 0 serial 1021 inputs 8 outputs 8\n", "/tmp"), clock))),
          monitor(std::make_unique<Monitor>(*bus, prompts, monitorClock))
    {
    }

    // "выбор", confirmed on the module; false when it could not be chosen.
    bool chooseModule()
    {
        DeviceChoice& choice = monitor->deviceChoice();
        choice.search();
        const bool chosen = choice.Button1Click();
        choice.afterDialog();
        return chosen;
    }
};

} // namespace telvar5::test
