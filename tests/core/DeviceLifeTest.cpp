// The device life through the core: search, choice, initialise, stop, close.
#include <gtest/gtest.h>

#include "core/Monitor.h"
#include "core/RefreshPeriod.h"
#include "core/device/BitRates.h"
#include "support/FakeBus.h"
#include "support/FakePrompts.h"

using namespace telvar5;
using telvar5::test::FakeBus;
using telvar5::test::FakePrompts;

namespace {

class DeviceLifeTest : public ::testing::Test {
protected:
    FakeBus bus;
    FakePrompts prompts;

    std::unique_ptr<Monitor> start()
    {
        auto m = std::make_unique<Monitor>(bus, prompts);
        m->deviceChoice().search();
        return m;
    }

    // ActionDeviceChoice with the dialog confirmed on line `line`.
    static void choose(Monitor& m, int line)
    {
        m.deviceChoice().beforeDialog();
        m.deviceChoice().FormShow();
        m.deviceChoice().selectLine(line);
        ASSERT_TRUE(m.deviceChoice().Button1Click());
        m.deviceChoice().FormClose();
        m.deviceChoice().afterDialog();
    }
};

} // namespace

TEST_F(DeviceLifeTest, SearchListsModulesWithGapsAndNothingElseIsSent)
{
    bus.modules[0] = {1021, makeConfigWord(8, 8), true};
    bus.modules[1] = {0, 0, false};
    bus.modules[2] = {2047, makeConfigWord(4, 4), true};
    auto m = start();
    ASSERT_EQ(m->deviceChoice().listLines().size(), 2u);
    EXPECT_EQ(m->deviceChoice().listLines()[0], "              1021                         0");
    EXPECT_EQ(m->deviceChoice().listLines()[1], "              2047                         2");
    EXPECT_TRUE(m->deviceChoice().applyEnabled());
    for (const auto& s : bus.sent)
        EXPECT_EQ(s.code, ReqSerialNumber);
}

TEST_F(DeviceLifeTest, NoModulesFound)
{
    auto m = start();
    ASSERT_EQ(m->deviceChoice().listLines().size(), 1u);
    EXPECT_EQ(m->deviceChoice().listLines()[0], "модули не обнаружены");
    EXPECT_FALSE(m->deviceChoice().applyEnabled());
    EXPECT_FALSE(m->deviceChoice().Button1Click());
    EXPECT_EQ(prompts.questions, 0);
    m->deviceChoice().afterDialog();
    EXPECT_FALSE(m->screen().commands.shown(Panel::Panel2));
    EXPECT_EQ(m->screen().statusBar1[0], "Устройство");
}

TEST_F(DeviceLifeTest, AnsweringNoLeavesEverythingAsItWas)
{
    bus.modules[0] = {5, makeConfigWord(8, 8), true};
    auto m = start();
    prompts.answerYes = false;
    EXPECT_FALSE(m->deviceChoice().Button1Click());
    EXPECT_EQ(prompts.questions, 1);
    EXPECT_EQ(prompts.lastTitle, "ВНИМАНИЕ!");
    EXPECT_EQ(prompts.lastText, "При выборе устройства происходит его сброс. Продолжить?");
    EXPECT_TRUE(bus.sentWith(ReqDeviceChoice).empty());
    EXPECT_FALSE(m->run().deviceChosen);
}

TEST_F(DeviceLifeTest, ChoiceResetsTheModuleAndTheChannelSettings)
{
    bus.modules[3] = {777, makeConfigWord(2, 8), true};
    bus.modules[5] = {778, makeConfigWord(4, 2), true};
    auto m = start();
    RunState& run = m->run();
    run.freqCodes[10] = 2;
    run.arraySize[1] = 3;
    run.outputRecord[7].words[255] = 0xDEADBEEF;
    run.outputRecord[7].channelNo = 8;
    run.receptionMode[2] = kReceptionFile;

    choose(*m, 1);
    EXPECT_EQ(run.deviceHandle, 105u);
    EXPECT_EQ(run.deviceSerialNo, 778u);
    EXPECT_EQ(run.deviceIndex, 5u);
    EXPECT_EQ(run.siChannelCount, 4u);
    EXPECT_EQ(run.soChannelCount, 2u);
    ASSERT_EQ(bus.sentWith(ReqDeviceChoice).size(), 1u);
    EXPECT_EQ(bus.sentWith(ReqDeviceChoice)[0].handle, 105u);
    EXPECT_EQ(run.freqCodes, FreqCodes{});
    EXPECT_EQ(run.arraySize[1], 256);
    EXPECT_EQ(run.arraySizeCopy[1], 256);
    EXPECT_EQ(run.outputRecord[7].words[255], 0u);
    // The choice leaves the headers and the reception modes alone.
    EXPECT_EQ(run.outputRecord[7].channelNo, 8);
    EXPECT_EQ(run.receptionMode[2], kReceptionFile);

    const ScreenState& screen = m->screen();
    EXPECT_EQ(screen.statusBar1[0], "TELVAR-5: серийный № 778; порядковый № 5");
    EXPECT_TRUE(screen.commands.enabled(Control::tbDeviceIni));
    EXPECT_TRUE(screen.commands.shown(Panel::Panel9));
    EXPECT_EQ(screen.siChannelShown, (std::array<bool, 8>{true, true, true, true, false, false, false, false}));
    EXPECT_EQ(screen.soChannelShown, (std::array<bool, 8>{true, true, false, false, false, false, false, false}));

    // The same module again: a second reset, the codes back to 0.
    run.freqCodes[0] = 1;
    choose(*m, 1);
    EXPECT_EQ(bus.sentWith(ReqDeviceChoice).size(), 2u);
    EXPECT_EQ(run.freqCodes[0], 0);
}

TEST_F(DeviceLifeTest, ChannelCountsOtherThanTwoFourEight)
{
    bus.modules[0] = {1, makeConfigWord(6, 0), true};
    auto m = start();
    choose(*m, 0);
    EXPECT_EQ(m->screen().siChannelShown, (std::array<bool, 8>{true, true, true, true, true, true, false, false}));
    // Channels 1 and 2 are never hidden.
    EXPECT_EQ(m->screen().soChannelShown, (std::array<bool, 8>{true, true, false, false, false, false, false, false}));
}

TEST_F(DeviceLifeTest, CancelAfterAnEarlierChoiceKeepsTheCodes)
{
    bus.modules[0] = {1, makeConfigWord(8, 8), true};
    auto m = start();
    choose(*m, 0);
    setFreqCode(m->run(), outputCodeByte(2), 1);

    m->deviceChoice().beforeDialog();
    EXPECT_FALSE(m->screen().commands.shown(Panel::Panel9));
    m->deviceChoice().FormShow();
    m->deviceChoice().FormClose(); // cancelled
    m->deviceChoice().afterDialog();
    EXPECT_TRUE(m->screen().commands.shown(Panel::Panel9));
    EXPECT_EQ(m->run().freqCodes[10], 1);
    EXPECT_EQ(bus.sentWith(ReqDeviceChoice).size(), 1u);
}

TEST_F(DeviceLifeTest, InitialiseSendsTheCodesAndStartsTheRefresh)
{
    bus.modules[0] = {1, makeConfigWord(8, 8), true};
    auto m = start();
    choose(*m, 0);
    RunState& run = m->run();
    setFreqCode(run, outputCodeByte(2), 1); // "50КГц+/-1%" on output channel 3
    run.inputBuffer[4][9] = {0x12345678, 7};
    run.refreshCounter = 42;
    run.curInputIndex = 3;

    m->lifecycle().DeviceInitializationExecute();
    const auto init = bus.sentWith(ReqDeviceInitialization);
    ASSERT_EQ(init.size(), 1u);
    std::vector<std::uint8_t> expected(16, 0);
    expected[10] = 1;
    EXPECT_EQ(init[0].in, expected);
    EXPECT_EQ(init[0].outSize, 2u);
    EXPECT_EQ(run.curInputIndex, 0);
    EXPECT_EQ(run.curInputNo, 1);
    EXPECT_EQ(run.curOutputNo, 1);
    EXPECT_EQ(run.inputBuffer[4][9].word, 0u);
    EXPECT_EQ(run.inputBuffer[4][9].cycleNo, 0u);
    EXPECT_EQ(run.refreshCounter, 0u);
    EXPECT_EQ(run.siFreqText, "частота 12..14,5КГц");
    EXPECT_EQ(run.soFreqText, "частота 12,5КГц+/-1%");
    EXPECT_TRUE(m->screen().timerActive);
    EXPECT_EQ(m->screen().statusBar1[1], "Обновление экрана:-период  500 мс;   -счетчик 0");
    EXPECT_EQ(m->screen().inputTitle, "Буфер входного канала № 1");
    EXPECT_EQ(m->screen().outputTitle, "Массив выходных параметров канала № 1");

    const TickResult tick = m->refresh().Timer1Timer();
    EXPECT_FALSE(tick.inputGridChanged);
    EXPECT_EQ(m->screen().statusBar1[1], "Обновление экрана:-период  500 мс;  -счетчик          1");
}

TEST_F(DeviceLifeTest, StopKeepsSettingsAndTheModuleLine)
{
    bus.modules[0] = {9, makeConfigWord(8, 8), true};
    auto m = start();
    choose(*m, 0);
    m->lifecycle().DeviceInitializationExecute();
    m->run().receptionMode[1] = kReceptionAddress;
    m->lifecycle().DeviceResetExecute();
    EXPECT_FALSE(m->screen().timerActive);
    ASSERT_EQ(bus.sentWith(ReqDeviceReset).size(), 1u);
    EXPECT_TRUE(bus.sentWith(ReqDeviceReset)[0].in.empty());
    EXPECT_EQ(bus.sentWith(ReqDeviceReset)[0].outSize, 0u);
    EXPECT_EQ(m->screen().statusBar1[0], "TELVAR-5: серийный № 9; порядковый № 0");
    EXPECT_EQ(m->screen().statusBar1[1], "");
    EXPECT_EQ(m->screen().statusBar2[0], "");
    EXPECT_EQ(m->run().receptionMode[1], kReceptionAddress);

    // Initialising again sends the same codes.
    m->lifecycle().DeviceInitializationExecute();
    EXPECT_EQ(bus.sentWith(ReqDeviceInitialization).size(), 2u);
    EXPECT_EQ(bus.sentWith(ReqDeviceInitialization)[1].in, bus.sentWith(ReqDeviceInitialization)[0].in);
}

TEST_F(DeviceLifeTest, FormCloseStopsTheModuleOnlyIfOneWasChosen)
{
    {
        auto m = start();
        bus.sent.clear();
        m->lifecycle().FormClose();
        EXPECT_TRUE(bus.sent.empty());
    }
    bus.modules[0] = {9, makeConfigWord(8, 8), true};
    auto m = start();
    choose(*m, 0);
    m->lifecycle().DeviceInitializationExecute();
    m->lifecycle().DeviceResetExecute();
    m->lifecycle().FormClose();
    EXPECT_EQ(bus.sentWith(ReqDeviceReset).size(), 2u);
}

TEST_F(DeviceLifeTest, AFailingDriverChoosesAndInitialisesNothing)
{
    bus.modules[0] = {9, makeConfigWord(8, 8), true};
    auto m = start();
    bus.failAll = true;
    // No channel counts from an unanswered reset: nothing is chosen, the dialog stays open, the user is told.
    EXPECT_FALSE(m->deviceChoice().Button1Click());
    EXPECT_FALSE(m->run().deviceChosen);
    EXPECT_EQ(prompts.errors.size(), 1u);
    m->lifecycle().DeviceInitializationExecute();
    EXPECT_FALSE(m->screen().timerActive);
}

TEST_F(DeviceLifeTest, RefreshPeriodIsKeptWithinItsLimits)
{
    auto m = start();
    EXPECT_EQ(m->run().refreshPeriodMs, 500);
    m->setRefreshPeriod(50);
    EXPECT_EQ(m->run().refreshPeriodMs, 100);
    m->setRefreshPeriod(2500);
    EXPECT_EQ(m->run().refreshPeriodMs, 2500);
}

// While the module is initialised, the refresh line tells a new period as soon
// as it is applied, in the shape the line has (before the first tick, after
// ticks); before and after, the line keeps its own text.
TEST_F(DeviceLifeTest, TheRefreshLineShowsANewPeriodAtOnce)
{
    bus.modules[0] = {9, makeConfigWord(8, 8), true};
    auto m = start();
    m->setRefreshPeriod(700);
    EXPECT_EQ(m->screen().statusBar1[1], "   ");
    choose(*m, 0);
    m->lifecycle().DeviceInitializationExecute();
    m->setRefreshPeriod(800);
    EXPECT_EQ(m->screen().statusBar1[1], refreshLineAtStart(800));
    m->refresh().Timer1Timer();
    m->refresh().Timer1Timer();
    m->setRefreshPeriod(1200);
    EXPECT_EQ(m->screen().statusBar1[1], refreshLine(1200, 2));
    m->lifecycle().DeviceResetExecute();
    m->setRefreshPeriod(900);
    EXPECT_EQ(m->screen().statusBar1[1], "");
}
