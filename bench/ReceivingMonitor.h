#pragma once
// A monitor on the virtual driver with a module chosen, initialised and
// receiving on all eight input channels: the heaviest refresh tick there is,
// 2 state requests and 2048 cell reads.
#include <memory>
#include <string>

#include "core/Monitor.h"
#include "device/virtual/VirtualDeviceBus.h"
#include "vdrv/ConfigLoader.h"
#include "vdrv/VirtualDriver.h"

namespace telvar5::bench {

class NoPrompts : public UserPrompts {
public:
    bool askYesNo(const std::string&, const std::string&) override { return true; }
    void beep() override {}
    void showError(const std::string&, const std::string&) override {}
    std::optional<std::string> askOpenFileName(const FileDialogOptions&) override { return std::nullopt; }
    std::optional<std::string> askSaveFileName(const FileDialogOptions&) override { return std::nullopt; }
};

// One module, serial 1021, with twelve parameters on every channel's
// low-speed bus, as busy as an air data bus gets.
inline std::string receivingModuleConfig()
{
    std::string text = "interface 0 serial 1021 inputs 8 outputs 8\n";
    for (int ch = 1; ch <= 8; ++ch) {
        text += "traffic 0 " + std::to_string(ch) + " low\n";
        for (int label = 0200; label < 0214; ++label)
            text += "  bnr " + std::to_string(label / 64) + std::to_string(label / 8 % 8)
                + std::to_string(label % 8) + " 25 17 1 sine 0 30000 60\n";
    }
    return text;
}

struct ReceivingMonitor {
    std::unique_ptr<VirtualDeviceBus> bus;
    NoPrompts prompts;
    std::unique_ptr<Monitor> monitor;

    ReceivingMonitor()
    {
        bus = std::make_unique<VirtualDeviceBus>(
            std::make_shared<vdrv::VirtualDriver>(vdrv::parseConfigText(receivingModuleConfig(), "/tmp")));
        monitor = std::make_unique<Monitor>(*bus, prompts);
        DeviceChoice& choice = monitor->deviceChoice();
        choice.search();
        choice.Button1Click();
        choice.afterDialog();
        monitor->lifecycle().DeviceInitializationExecute();
        for (int tab = kChannels - 1; tab >= 0; --tab) {
            monitor->reception().SIChange(tab);
            if (tab % 2)
                monitor->reception().SIfilePuskExecute();
            else
                monitor->reception().SIaddressPuskExecute();
        }
    }
};

} // namespace telvar5::bench
