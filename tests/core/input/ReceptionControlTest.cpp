#include "input/InputFixture.h"

#include "core/device/BitRates.h"

using namespace telvar5;
using ReceptionControlTest = telvar5::test::InitialisedMonitor;

TEST_F(ReceptionControlTest, StartsClearTheChannelAndSendTheStartRecord)
{
    run().inputBuffer[0][5] = {0x1234567, 3};
    run().inputBuffer[1][5] = {0x7654321, 4};
    monitor->reception().SIaddressPuskExecute();
    EXPECT_EQ(run().receptionMode[0], kReceptionAddress);
    EXPECT_EQ(run().inputBuffer[0][5].word, 0u);
    EXPECT_EQ(run().inputBuffer[0][5].cycleNo, 0u);
    EXPECT_EQ(run().inputBuffer[1][5].word, 0x7654321u); // other channels untouched
    EXPECT_TRUE(enabled(Control::tbSIstop));
    EXPECT_TRUE(enabled(Control::mmSIstop));
    ASSERT_EQ(bus.sent.size(), 1u);
    EXPECT_EQ(bus.sent[0].code, ReqSIaddressPusk);
    EXPECT_EQ(bus.sent[0].in, (std::vector<std::uint8_t>{1, 0, 1, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(bus.sent[0].outSize, 2u);
}

TEST_F(ReceptionControlTest, StartingTheOtherModeNeedsNoStop)
{
    monitor->reception().SIChange(2);
    monitor->reception().SIfilePuskExecute();
    run().inputBuffer[2][0] = {0x10000, 1};
    monitor->reception().SIaddressPuskExecute();
    EXPECT_EQ(run().receptionMode[2], kReceptionAddress);
    EXPECT_EQ(run().inputBuffer[2][0].word, 0u);
    ASSERT_EQ(bus.sent.size(), 2u);
    EXPECT_EQ(bus.sent[0].code, ReqSIfilePusk);
    EXPECT_EQ(bus.sent[0].in[0], 3);
    EXPECT_EQ(bus.sent[1].code, ReqSIaddressPusk);
}

TEST_F(ReceptionControlTest, StopKeepsTheCellsAndSendsTheChannelNumber)
{
    monitor->reception().SIChange(4);
    monitor->reception().SIaddressPuskExecute();
    run().inputBuffer[4][9] = {0xABCDEF01, 12};
    monitor->reception().SIstopChannelExecute();
    EXPECT_EQ(run().receptionMode[4], kReceptionOff);
    EXPECT_EQ(run().inputBuffer[4][9].word, 0xABCDEF01u);
    EXPECT_FALSE(enabled(Control::tbSIstop));
    EXPECT_FALSE(enabled(Control::mmSIstop));
    EXPECT_EQ(bus.sent.back().code, ReqSIstopChannel);
    EXPECT_EQ(bus.sent.back().in, (std::vector<std::uint8_t>{5, 0}));
}

TEST_F(ReceptionControlTest, StatusLineFollowsTheModuleAndTheRememberedMode)
{
    setFreqCode(run(), inputCodeByte(0), 1);
    // Texts follow the codes only at initialisation and at tab changes.
    monitor->reception().SIChange(0);
    monitor->reception().SIaddressPuskExecute();
    bus.siRunning = true;
    monitor->reception().UpdateSIstatus();
    EXPECT_EQ(screen().statusBar2[0], "Входной канал №1: прием адресный; частота 48КГц+/-25%");
    EXPECT_TRUE(enabled(Control::tbSIstop));

    monitor->reception().SIfilePuskExecute();
    monitor->reception().UpdateSIstatus();
    EXPECT_EQ(screen().statusBar2[0], "Входной канал №1: прием файловый; частота 48КГц+/-25%");

    bus.siRunning = false;
    monitor->reception().UpdateSIstatus();
    EXPECT_EQ(screen().statusBar2[0], "Входной канал №1: прием остановлен; частота 48КГц+/-25%");
    EXPECT_FALSE(enabled(Control::tbSIstop));
    EXPECT_FALSE(enabled(Control::mmSIstop));
}

TEST_F(ReceptionControlTest, RunningModuleWithModeZeroKeepsTheLineButEnablesStop)
{
    monitor->reception().SIaddressPuskExecute();
    bus.siRunning = true;
    monitor->reception().UpdateSIstatus();
    const std::string line = screen().statusBar2[0];
    monitor->reception().SIstopChannelExecute();
    EXPECT_FALSE(enabled(Control::tbSIstop));
    monitor->reception().UpdateSIstatus();
    EXPECT_EQ(screen().statusBar2[0], line);
    EXPECT_TRUE(enabled(Control::tbSIstop));
}

TEST_F(ReceptionControlTest, FailedStateRequestCountsAsNotRunning)
{
    monitor->reception().SIaddressPuskExecute();
    bus.siRunning = true;
    bus.failAll = true;
    monitor->reception().UpdateSIstatus();
    EXPECT_EQ(screen().statusBar2[0], "Входной канал №1: прием остановлен; частота 12..14,5КГц");
    EXPECT_FALSE(enabled(Control::tbSIstop));
}

TEST_F(ReceptionControlTest, TabChangeMovesTitleTextAndStatusRequest)
{
    setFreqCode(run(), inputCodeByte(5), 2);
    monitor->reception().SIChange(5);
    EXPECT_EQ(run().curInputIndex, 5);
    EXPECT_EQ(run().curInputNo, 6);
    EXPECT_EQ(screen().inputTitle, "Буфер входного канала № 6");
    EXPECT_EQ(run().siFreqText, "частота 100КГц+/-1%");
    EXPECT_TRUE(bus.sent.empty()); // a tab change sends nothing
    monitor->reception().UpdateSIstatus();
    EXPECT_EQ(bus.sent.back().code, ReqSIstate);
    EXPECT_EQ(bus.sent.back().in, (std::vector<std::uint8_t>{6, 0}));
    EXPECT_EQ(screen().statusBar2[0], "Входной канал №6: прием остановлен; частота 100КГц+/-1%");
}

TEST_F(ReceptionControlTest, TabChangeRebuildsTheLabelFormatsOfTheNewChannel)
{
    FormatTables& f = run().formats;
    f.formatTable[0].setTag("ALT");
    f.formatTable[0].setUnits("ft");
    f.formatTable[0].setMsbBit(28);
    f.formatTable[0].setLsbBit(12);
    f.formatTable[0].setMsbWeight(65536.0f);
    f.formatCount = 1;
    f.paramFormatTable[0].setLabel(0203);
    f.paramFormatTable[0].setChannel(3);
    f.paramFormatTable[0].setFormatTag("ALT");
    f.paramFormatCount = 1;

    monitor->reception().SIChange(2);
    EXPECT_EQ(run().labelFormatTable[0203].tag(), "ALT");
    monitor->reception().SIChange(1);
    EXPECT_TRUE(run().labelFormatTable[0203].tagEmpty());
}
