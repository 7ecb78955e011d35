// An array restored from a file and sent cyclically through the real virtual
// driver comes back on the wired input channel, and a word changed in the bit
// editor while the output runs arrives there from the next repetition on.
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>

#include "ModalDriver.h"
#include "WidgetFakes.h"
#include "support/BenchLine.h"
#include "device/virtual/VirtualDeviceBus.h"
#include "gui/DataPanel.h"
#include "gui/MainCommands.h"
#include "gui/PanelStatusBar.h"
#include "gui/TMainFrm.h"
#include "gui/device/TFrmDeviceChoice.h"
#include "gui/input/InputBufferView.h"
#include "gui/output/TFrmSObinParam.h"
#include "vdrv/ManualClock.h"
#include "vdrv/VirtualDriver.h"

using namespace telvar5;
using namespace telvar5::widgets_test;

namespace {

constexpr vdrv::Micros kWordTimeUs = 2880; // 12.5 kHz, the lists' first items

class LoopbackEndToEnd : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::shared_ptr<vdrv::ManualClock> clock = std::make_shared<vdrv::ManualClock>();
    std::unique_ptr<VirtualDeviceBus> bus;
    FakePrompts prompts;
    std::unique_ptr<TMainFrm> window;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const std::string config = dir.filePath("telvar5-vdrv.conf").toStdString();
        std::ofstream(config) << "bench-socket bench.sock\n"
                                 "interface 0 serial 501 inputs 8 outputs 8\n"
                                 "wire 0 2 none\n";
        bus = std::make_unique<VirtualDeviceBus>(vdrv::VirtualDriver::fromConfigFile(config, clock));
        window = std::make_unique<TMainFrm>(*bus, prompts);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

        whenModal([](QWidget* modal) {
            auto* dialog = qobject_cast<TFrmDeviceChoice*>(modal);
            ASSERT_NE(dialog, nullptr);
            dialog->Button1()->click();
        });
        window->command(Command::ActionDeviceChoice)->trigger();
        window->command(Command::DeviceInitialization)->trigger();
    }

    // Module time passes, then the refresh timer ticks.
    void tickAfter(vdrv::Micros us)
    {
        clock->advanceUs(us);
        window->Timer1Timer();
    }

    std::string inputHex(int cell) const
    {
        return window->Panel5()->DrawGrid2()->model()->index(cell, 2).data().toString().toStdString();
    }

    std::string writeArray(const std::vector<std::uint32_t>& words)
    {
        const std::string path = dir.filePath("loop.so").toStdString();
        std::ofstream out(path, std::ios::binary);
        const auto n = static_cast<std::uint16_t>(words.size());
        out.put(static_cast<char>(n & 0xFF)).put(static_cast<char>(n >> 8));
        for (std::uint32_t w : words)
            for (int b = 0; b < 4; ++b)
                out.put(static_cast<char>(w >> (8 * b)));
        return path;
    }
};

} // namespace

TEST_F(LoopbackEndToEnd, ACyclicArrayComesBackAndAnEditedWordFollows)
{
    window->command(Command::SIaddressPusk)->trigger();
    // Three words: altitude (203), computed airspeed (206) and magnetic heading (320).
    prompts.fileToOpen = writeArray({0x6001E083u, 0x60123486u, 0x604000D0u});
    window->command(Command::FileOpen1)->trigger();
    EXPECT_EQ(window->monitor().run().arraySize[0], 3);
    window->command(Command::SOciclePusk)->trigger();

    tickAfter(3 * kWordTimeUs);
    EXPECT_EQ(inputHex(0203), " 6001e0");
    EXPECT_EQ(inputHex(0206), " 601234");
    EXPECT_EQ(inputHex(0320), " 604000");
    EXPECT_EQ(window->XPStatusBar2()->panelText(1).toStdString(),
              "Выходной канал №1: выдача циклическая; частота 12,5КГц+/-1%");

    // The bit editor on word 1: bit 17 on, applied while the output runs.
    whenModal([](QWidget* modal) {
        auto* editor = qobject_cast<TFrmSObinParam*>(modal);
        ASSERT_NE(editor, nullptr);
        editor->CheckBox(33 - 17)->click();
        editor->Button1()->click();
    });
    window->DrawGrid1MouseDown(Qt::RightButton, 1, 2);
    EXPECT_EQ(window->monitor().run().outputRecord[0].words[1], 0x60133486u);

    tickAfter(2 * 3 * kWordTimeUs); // the repetition under way, then the next one
    EXPECT_EQ(inputHex(0206), " 601334");
    EXPECT_EQ(inputHex(0203), " 6001e0") << "the other words keep coming unchanged";

    const vdrv::BenchReply sent = test::benchLine(bus->driver(), dir.filePath("bench.sock").toStdString(), "sent 0 1 3");
    ASSERT_TRUE(sent.connected && sent.ok) << sent.error;
    const auto updated = std::find_if(sent.lines.begin(), sent.lines.end(), [](const std::string& line) {
        return line.find("0x60133486 label 206") != std::string::npos;
    });
    EXPECT_NE(updated, sent.lines.end()) << "the module sends the new word";

    window->command(Command::SOstopChannel)->trigger();
    tickAfter(kWordTimeUs);
    EXPECT_EQ(window->XPStatusBar2()->panelText(1).toStdString(),
              "Выходной канал №1: выдача остановлена; частота 12,5КГц+/-1%");
}

TEST_F(LoopbackEndToEnd, ACutOutputReachesNoInput)
{
    // Output 2 is cut in the configuration; input 2 receives nothing from it.
    window->Panel5()->SI()->setCurrentIndex(1);
    window->command(Command::SIaddressPusk)->trigger();
    window->Panel5()->SO()->setCurrentIndex(1);
    window->command(Command::SOdataTest)->trigger();
    window->command(Command::SOciclePusk)->trigger();
    tickAfter(300 * kWordTimeUs);
    EXPECT_EQ(inputHex(0), " 000000") << "input 2 heard nothing";
    EXPECT_EQ(window->XPStatusBar2()->panelText(1).toStdString(),
              "Выходной канал №2: выдача циклическая; частота 12,5КГц+/-1%");
}
