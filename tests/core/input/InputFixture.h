#pragma once
// A monitor with one module chosen and initialised over a FakeBus.
#include <gtest/gtest.h>

#include <memory>

#include "core/Monitor.h"
#include "support/FakeBus.h"
#include "support/FakePrompts.h"

namespace telvar5::test {

// A clock that moves only when a test moves it.
class FakeClock final : public MonotonicClock {
public:
    std::int64_t us = 0;
    std::int64_t nowUs() const override { return us; }
};

class InitialisedMonitor : public ::testing::Test {
protected:
    FakeClock clock;
    FakeBus bus;
    FakePrompts prompts;
    std::unique_ptr<Monitor> monitor;

    void SetUp() override
    {
        bus.modules[0] = {1021, makeConfigWord(8, 8), true};
        monitor = std::make_unique<Monitor>(bus, prompts, clock);
        choose();
        monitor->lifecycle().DeviceInitializationExecute();
        bus.sent.clear();
    }
    // "выбор", confirmed on the first module.
    void choose()
    {
        DeviceChoice& choice = monitor->deviceChoice();
        choice.search();
        choice.beforeDialog();
        choice.FormShow();
        ASSERT_TRUE(choice.Button1Click());
        choice.FormClose();
        choice.afterDialog();
    }

    RunState& run() { return monitor->run(); }
    ScreenState& screen() { return monitor->screen(); }
    bool enabled(Control c) { return screen().commands.enabled(c); }
};

} // namespace telvar5::test
