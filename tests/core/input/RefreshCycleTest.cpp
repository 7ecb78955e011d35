#include "input/InputFixture.h"

using namespace telvar5;
using RefreshCycleTest = telvar5::test::InitialisedMonitor;

TEST_F(RefreshCycleTest, WithoutReceptionATickSendsTheTwoStateRequestsOnly)
{
    const TickResult tick = monitor->refresh().Timer1Timer();
    ASSERT_EQ(bus.sent.size(), 2u);
    EXPECT_EQ(bus.sent[0].code, ReqSOstate);
    EXPECT_EQ(bus.sent[0].in, (std::vector<std::uint8_t>{1, 0}));
    EXPECT_EQ(bus.sent[1].code, ReqSIstate);
    EXPECT_FALSE(tick.inputGridChanged);
    EXPECT_EQ(screen().statusBar1[1], "Обновление экрана:-период  500 мс;  -счетчик          1");
    EXPECT_EQ(screen().statusBar2[1], "Выходной канал №1: выдача остановлена; частота 12,5КГц+/-1%");
}

TEST_F(RefreshCycleTest, ReceivingChannelsAreReadCellByCellInOrder)
{
    for (int tab : {1, 4}) {
        monitor->reception().SIChange(tab);
        monitor->reception().SIaddressPuskExecute();
    }
    monitor->reception().SIChange(0);
    bus.sent.clear();
    const TickResult tick = monitor->refresh().Timer1Timer();
    ASSERT_EQ(bus.sent.size(), 2u + 2 * 256u);
    for (std::size_t i = 0; i < 512; ++i) {
        const test::SentRequest& r = bus.sent[2 + i];
        ASSERT_EQ(r.code, ReqSIreadWord);
        const std::uint16_t channel = i < 256 ? 2 : 5;
        const auto cell = static_cast<std::uint16_t>(i % 256);
        EXPECT_EQ(r.in, (std::vector<std::uint8_t>{static_cast<std::uint8_t>(channel), 0, 1, 0,
                                                   static_cast<std::uint8_t>(cell), static_cast<std::uint8_t>(cell >> 8)}));
        EXPECT_EQ(r.outSize, 6u);
    }
    // Channels 2 and 5 are read; tab 1 is shown and was not read: no redraw.
    EXPECT_FALSE(tick.inputGridChanged);
}

TEST_F(RefreshCycleTest, OnlyWordsWithANonZeroUpperHalfAreStored)
{
    monitor->reception().SIaddressPuskExecute();
    bus.readWord = [](std::uint16_t, std::uint16_t cell) -> std::optional<std::uint32_t> {
        if (cell == 1)
            return 0xFFFFu;
        if (cell == 2)
            return 0x10000u;
        if (cell == 3)
            return 0xE0031083u;
        return 0u;
    };
    const TickResult tick = monitor->refresh().Timer1Timer();
    EXPECT_TRUE(tick.inputGridChanged);
    EXPECT_EQ(tick.storedCells.count(), 2u);
    EXPECT_TRUE(tick.storedCells.test(2));
    EXPECT_TRUE(tick.storedCells.test(3));
    const InputChannelBuffer& cells = run().inputBuffer[0];
    EXPECT_EQ(cells[1].word, 0u);
    EXPECT_EQ(cells[2].word, 0x10000u);
    EXPECT_EQ(cells[2].cycleNo, 1u);
    EXPECT_EQ(cells[3].word, 0xE0031083u);

    // Later empty replies keep the word and its cycle number; a new word takes the new tick.
    bus.readWord = [](std::uint16_t, std::uint16_t cell) -> std::optional<std::uint32_t> {
        return cell == 3 ? 0x20000u : 0u;
    };
    monitor->refresh().Timer1Timer();
    monitor->refresh().Timer1Timer();
    EXPECT_EQ(cells[2].word, 0x10000u);
    EXPECT_EQ(cells[2].cycleNo, 1u);
    EXPECT_EQ(cells[3].word, 0x20000u);
    EXPECT_EQ(cells[3].cycleNo, 3u);
}

TEST_F(RefreshCycleTest, FailedReadsLeaveTheCellsUnchanged)
{
    monitor->reception().SIaddressPuskExecute();
    run().inputBuffer[0][7] = {0x30000, 0};
    bus.readWord = [](std::uint16_t, std::uint16_t cell) -> std::optional<std::uint32_t> {
        if (cell == 7)
            return std::nullopt;
        return 0x40000u;
    };
    monitor->refresh().Timer1Timer();
    EXPECT_EQ(run().inputBuffer[0][7].word, 0x30000u);
    EXPECT_EQ(run().inputBuffer[0][8].word, 0x40000u);
}

TEST_F(RefreshCycleTest, AStoppedChannelIsNoLongerRead)
{
    monitor->reception().SIaddressPuskExecute();
    monitor->reception().SIstopChannelExecute();
    bus.sent.clear();
    monitor->refresh().Timer1Timer();
    EXPECT_EQ(bus.sent.size(), 2u);
}

TEST_F(RefreshCycleTest, ReceptionModeSurvivesAStopAndIsReadAfterTheNextInitialisation)
{
    monitor->reception().SIaddressPuskExecute();
    monitor->lifecycle().DeviceResetExecute();
    monitor->lifecycle().DeviceInitializationExecute();
    bus.sent.clear();
    monitor->refresh().Timer1Timer();
    EXPECT_EQ(bus.sent.size(), 2u + 256u);
    EXPECT_EQ(run().refreshCounter, 1u);
}

// The labels a channel took belong to its run: after the next initialisation
// the label statistics start afresh with the empty buffers, on every channel.
TEST_F(RefreshCycleTest, TheLabelsOfTheLastRunGoAtTheNextInitialisation)
{
    const LabelStatistics& labels = monitor->analysis().statistics();
    monitor->reception().SIaddressPuskExecute();
    bus.readWord = [](std::uint16_t, std::uint16_t cell) -> std::optional<std::uint32_t> {
        return cell == 0203 ? std::optional<std::uint32_t>(0x60000083u) : 0u;
    };
    monitor->refresh().Timer1Timer();
    ASSERT_EQ(labels.labelsInOrder(0).size(), 1u);
    const std::uint32_t generation = labels.generation(0);
    bus.readWord = [](std::uint16_t, std::uint16_t) -> std::optional<std::uint32_t> { return 0u; };
    monitor->lifecycle().DeviceResetExecute();
    EXPECT_EQ(labels.labelsInOrder(0).size(), 1u) << "a stop keeps what the run took";
    monitor->lifecycle().DeviceInitializationExecute();
    monitor->refresh().Timer1Timer();
    EXPECT_TRUE(labels.labelsInOrder(0).empty());
    EXPECT_NE(labels.generation(0), generation) << "so a window showing them knows its rows are gone";
}

TEST_F(RefreshCycleTest, OutputStatusFollowsTheModule)
{
    bus.soRunning = true;
    monitor->refresh().Timer1Timer();
    EXPECT_EQ(screen().statusBar2[1], "Выходной канал №1: выдача однократная; частота 12,5КГц+/-1%");
    EXPECT_TRUE(enabled(Control::tbSOstop));
    EXPECT_FALSE(enabled(Control::cbSOArrayDim));
    EXPECT_FALSE(enabled(Control::mmSOdata));
    run().outputMode[0] = kOutputStopped;
    monitor->refresh().Timer1Timer();
    EXPECT_EQ(screen().statusBar2[1], "Выходной канал №1: выдача циклическая; частота 12,5КГц+/-1%");
    bus.soRunning = false;
    monitor->refresh().Timer1Timer();
    EXPECT_TRUE(enabled(Control::cbSOArrayDim));
    EXPECT_FALSE(enabled(Control::tbSOstop));
}

// A real driver may count only the bytes that matter to it: one byte short
// leaves a state reply with its byte 0, a word reply without its word.
TEST_F(RefreshCycleTest, ShortRepliesKeepTheStateByteButNeverAPartWord)
{
    monitor->reception().SIaddressPuskExecute();
    bus.siRunning = true;
    bus.soRunning = true;
    bus.readWord = [](std::uint16_t, std::uint16_t cell) { return std::optional<std::uint32_t>(0x10000u + cell); };
    monitor->refresh().Timer1Timer();
    ASSERT_EQ(run().inputBuffer[0][5].word, 0x10005u);
    bus.readWord = [](std::uint16_t, std::uint16_t cell) { return std::optional<std::uint32_t>(0x20000u + cell); };
    bus.shortReplies = true;
    monitor->refresh().Timer1Timer();
    // No cell takes a word, nor the word an earlier request left in the reply.
    EXPECT_EQ(run().inputBuffer[0][5].word, 0x10005u);
    EXPECT_EQ(run().inputBuffer[0][5].cycleNo, 1u);
    // The states are running, and the stop buttons work.
    EXPECT_EQ(screen().statusBar2[0], "Входной канал №1: прием адресный; частота 12..14,5КГц");
    EXPECT_EQ(screen().statusBar2[1], "Выходной канал №1: выдача однократная; частота 12,5КГц+/-1%");
    EXPECT_TRUE(enabled(Control::tbSIstop));
    EXPECT_TRUE(enabled(Control::tbSOstop));
}

TEST_F(RefreshCycleTest, ASlowDriverCutsTheTickAndTheNextGoesOnFromThere)
{
    for (int tab = 0; tab < kChannels; ++tab) {
        monitor->reception().SIChange(tab);
        monitor->reception().SIaddressPuskExecute();
    }
    run().refreshPeriodMs = 100;
    bus.onRequest = [this] { clock.us += 100; }; // 100 us a request: 50 ms hold about 500 of them
    bus.sent.clear();
    std::vector<std::pair<int, int>> reads; // (channel, cell) in the order asked
    std::vector<std::size_t> perTick;
    for (int tick = 0; tick < 6; ++tick) {
        const std::size_t before = bus.sent.size();
        monitor->refresh().Timer1Timer();
        std::size_t n = 0;
        for (std::size_t i = before; i < bus.sent.size(); ++i) {
            if (bus.sent[i].code != ReqSIreadWord)
                continue;
            reads.emplace_back(bus.sent[i].in[0], bus.sent[i].in[4] | bus.sent[i].in[5] << 8);
            ++n;
        }
        perTick.push_back(n);
    }
    for (std::size_t n : perTick)
        EXPECT_LE(n, 500u + 32u) << "a tick holds the window no longer than half its period";
    // Across the ticks every cell of every channel is read in order, none skipped or read twice.
    ASSERT_GE(reads.size(), 2048u);
    for (std::size_t i = 0; i < 2048; ++i)
        ASSERT_EQ(reads[i], std::make_pair(static_cast<int>(i / 256 + 1), static_cast<int>(i % 256))) << i;
}
