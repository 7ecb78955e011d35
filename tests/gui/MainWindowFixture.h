#pragma once
// A main window over a fake bus, shown offscreen, with helpers that walk the
// device through its states the way a user would: through the commands and
// the real dialogs.
#include <QAbstractButton>
#include <QComboBox>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "ModalDriver.h"
#include "WidgetFakes.h"
#include "gui/TMainFrm.h"
#include "gui/device/TFrmDeviceChoice.h"

namespace telvar5::widgets_test {

class MainWindowTest : public ::testing::Test {
protected:
    FakeBus bus;
    FakePrompts prompts;
    std::unique_ptr<TMainFrm> window;

    // Two modules by default: serial 1234 at index 0 and 4321 at index 2.
    void SetUp() override
    {
        bus.modules[0] = {1234, makeConfigWord(8, 8)};
        bus.modules[2] = {4321, makeConfigWord(4, 4)};
    }

    void TearDown() override { window.reset(); }

    TMainFrm& open()
    {
        window = std::make_unique<TMainFrm>(bus, prompts);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }

    template <class T>
    T* find(const char* name) const
    {
        return child<T>(window.get(), name);
    }

    QAction* command(Command c) const { return window->command(c); }

    // "выбор" with the line given, confirmed (or cancelled when line is negative).
    void choose(int line = 0)
    {
        whenModal([line](QWidget* modal) {
            auto* dialog = qobject_cast<TFrmDeviceChoice*>(modal);
            ASSERT_NE(dialog, nullptr);
            if (line < 0) {
                dialog->Button2()->click();
                return;
            }
            dialog->DeviceList()->setCurrentIndex(line);
            dialog->Button1()->click();
        });
        command(Command::ActionDeviceChoice)->trigger();
    }
    void cancelChoice() { choose(-1); }
    void initialise() { command(Command::DeviceInitialization)->trigger(); }
    void stop() { command(Command::DeviceReset)->trigger(); }
};

} // namespace telvar5::widgets_test
