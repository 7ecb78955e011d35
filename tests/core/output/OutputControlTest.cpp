// Transmission commands: the records they send, the controls they set, and
// how each tick's answer from the module overrides them.
#include "input/InputFixture.h"
#include <functional>

#include "core/output/OutputEditText.h"
#include "protocol/ByteLayout.h"

using namespace telvar5;

namespace {

class OutputControlTest : public test::InitialisedMonitor {
protected:
    OutputControl& output() { return monitor->output(); }
    void tick() { monitor->refresh().Timer1Timer(); }
    bool locked() // the controls of a running transmission are set
    {
        return enabled(Control::tbSOstop) && enabled(Control::mmSOstop) && !enabled(Control::tbSOdataClear)
            && !enabled(Control::tbSOdataTest) && !enabled(Control::tbSOdataOpen) && !enabled(Control::tbSOdataSave)
            && !enabled(Control::mmSOdata);
    }
    bool unlocked()
    {
        return !enabled(Control::tbSOstop) && !enabled(Control::mmSOstop) && enabled(Control::tbSOdataClear)
            && enabled(Control::tbSOdataTest) && enabled(Control::tbSOdataOpen) && enabled(Control::tbSOdataSave)
            && enabled(Control::mmSOdata);
    }
};

struct Header {
    std::uint16_t channelNo, param1, param2, param3;
};
Header headerOf(const std::vector<std::uint8_t>& record)
{
    return {getU16(&record[0]), getU16(&record[2]), getU16(&record[4]), getU16(&record[6])};
}

} // namespace

TEST_F(OutputControlTest, StartsSendTheWholeRecordWithTheirHeaders)
{
    struct Case {
        int tab;
        int sizeItem; // cbSOArrayDim item: size - 1
        bool cyclic;
        Header header;
    };
    const Case cases[] = {
        {0, 0, false, {1, 1, 0, 1}},     {0, 0, true, {1, 1, 1, 0}},
        {0, 255, false, {1, 1, 0, 256}}, {0, 255, true, {1, 256, 256, 0}},
        {7, 9, false, {8, 1, 0, 10}},    {7, 9, true, {8, 10, 10, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "tab " << c.tab << " size " << c.sizeItem + 1 << " cyclic " << c.cyclic);
        monitor->outputArrays().SOChange(c.tab);
        monitor->outputArrays().SOdataTestExecute(); // words beyond the size are not zero
        monitor->outputArrays().cbSOArrayDimChange(c.sizeItem);
        bus.sent.clear();
        c.cyclic ? output().SOciclePuskExecute() : output().SOsinglePuskExecute();

        ASSERT_EQ(bus.sent.size(), c.cyclic ? 1u : 2u);
        const test::SentRequest& load = bus.sent[0];
        EXPECT_EQ(load.code, c.cyclic ? ReqSOciclePusk : ReqSOsingleLoad);
        ASSERT_EQ(load.in.size(), 1032u);
        const Header h = headerOf(load.in);
        EXPECT_EQ(std::tie(h.channelNo, h.param1, h.param2, h.param3),
                  std::tie(c.header.channelNo, c.header.param1, c.header.param2, c.header.param3));
        // All 256 words go, also those beyond the size; the header stays in the record.
        const OutputRecord& record = run().outputRecord[static_cast<std::size_t>(c.tab)];
        for (std::size_t i = 0; i < 256; ++i)
            ASSERT_EQ(getU32(&load.in[8 + 4 * i]), record.words[i]) << i;
        EXPECT_EQ(record.param1, c.header.param1);
        if (!c.cyclic) {
            EXPECT_EQ(bus.sent[1].code, ReqSOsinglePusk);
            EXPECT_EQ(bus.sent[1].in, (std::vector<std::uint8_t>{static_cast<std::uint8_t>(c.tab + 1), 0, 1, 0}));
        }
        EXPECT_EQ(run().outputMode[static_cast<std::size_t>(c.tab)], c.cyclic ? kOutputCyclic : kOutputSingle);
        EXPECT_TRUE(locked());
    }
}

TEST_F(OutputControlTest, CyclicStartLocksTypingUntilStopAndStopSendsTheChannel)
{
    output().SOsinglePuskExecute();
    EXPECT_TRUE(screen().outputGridEditable) << "a single start leaves the grid editable";
    output().SOciclePuskExecute();
    EXPECT_FALSE(screen().outputGridEditable);
    EXPECT_FALSE(screen().outputGridColumnsResizable);
    // Only the tab of the cyclic channel refuses typing.
    monitor->outputArrays().SOChange(3);
    EXPECT_TRUE(screen().outputGridEditable);
    bus.sent.clear();
    output().SOstopChannelExecute();
    EXPECT_TRUE(screen().outputGridEditable);
    EXPECT_FALSE(screen().outputGridColumnsResizable) << "resizing stays off after a stop";
    EXPECT_TRUE(unlocked());
    EXPECT_EQ(run().outputMode[3], kOutputStopped);
    ASSERT_EQ(bus.sent.size(), 1u);
    EXPECT_EQ(bus.sent[0].code, ReqSOstopChannel);
    EXPECT_EQ(bus.sent[0].in, (std::vector<std::uint8_t>{4, 0}));
}

TEST_F(OutputControlTest, EachTickSetsTheControlsAndTheLineFromTheModule)
{
    struct Case {
        void (OutputControl::*command)();
        bool running;       // what the module reports at the next tick
        bool failedRequest; // the state request fails
        const char* line;
    };
    const Case cases[] = {
        {&OutputControl::SOsinglePuskExecute, true, false, "Выходной канал №1: выдача однократная; частота 12,5КГц+/-1%"},
        {&OutputControl::SOciclePuskExecute, true, false, "Выходной канал №1: выдача циклическая; частота 12,5КГц+/-1%"},
        // Mode 2 counts as "not single" while the module still transmits.
        {&OutputControl::SOstopChannelExecute, true, false, "Выходной канал №1: выдача циклическая; частота 12,5КГц+/-1%"},
        {&OutputControl::SOsinglePuskExecute, false, false, "Выходной канал №1: выдача остановлена; частота 12,5КГц+/-1%"},
        {&OutputControl::SOciclePuskExecute, true, true, "Выходной канал №1: выдача остановлена; частота 12,5КГц+/-1%"},
    };
    for (const Case& c : cases) {
        (output().*c.command)();
        bus.soRunning = c.running;
        bus.failAll = c.failedRequest;
        tick();
        bus.failAll = false;
        EXPECT_EQ(screen().statusBar2[1], c.line);
        const bool running = c.running && !c.failedRequest;
        EXPECT_EQ(running ? locked() : unlocked(), true) << c.line;
        EXPECT_EQ(enabled(Control::cbSOArrayDim), !running);
        EXPECT_TRUE(enabled(Control::tbSOsinglePusk) && enabled(Control::tbSOciclePusk)) << "starts stay available";
    }
}

TEST_F(OutputControlTest, AnotherTabShownIsJudgedByItsOwnState)
{
    output().SOciclePuskExecute(); // channel 1 runs
    monitor->outputArrays().SOChange(1);
    bus.soRunning = false; // channel 2 is idle
    bus.sent.clear();
    tick();
    EXPECT_EQ(bus.sent[0].in, (std::vector<std::uint8_t>{2, 0}));
    EXPECT_TRUE(unlocked());
    EXPECT_TRUE(enabled(Control::cbSOArrayDim));
    EXPECT_TRUE(screen().outputGridEditable) << "channel 2 does not transmit cyclically";
    EXPECT_EQ(screen().statusBar2[1], "Выходной канал №2: выдача остановлена; частота 12,5КГц+/-1%");
}

TEST_F(OutputControlTest, ClosingTheBitEditorSendsTheWordOnlyDuringCyclicOutput)
{
    OutputGrid& grid = monitor->outputGrid();
    auto closeEditorOnRow = [&](int row) {
        bus.sent.clear();
        if (grid.DrawGrid1MouseDown(MouseButton::Right, 1, row)) {
            run().outputRecord[0].words[run().wordIndex] = 0xA5A5A5A5u;
            grid.bitEditorClosed();
        }
        return bus.count(ReqSOwordUpdate);
    };
    EXPECT_EQ(closeEditorOnRow(5), 0) << "stopped";
    output().SOsinglePuskExecute();
    EXPECT_EQ(closeEditorOnRow(5), 0) << "single output";
    output().SOciclePuskExecute();
    EXPECT_EQ(closeEditorOnRow(5), 1);
    EXPECT_EQ(bus.sent[0].in, (std::vector<std::uint8_t>{1, 0, 4, 0, 0xA5, 0xA5, 0xA5, 0xA5}));
    EXPECT_EQ(closeEditorOnRow(0), 0) << "the title row names no word";
    monitor->outputArrays().cbSOArrayDimChange(9);
    EXPECT_EQ(closeEditorOnRow(11), 0) << "a row beyond the array";
    EXPECT_FALSE(grid.DrawGrid1MouseDown(MouseButton::Left, 1, 3));
}

TEST_F(OutputControlTest, AStoppedModuleEndsCyclicOutputAndOnlyTheCyclicTabRefusesTyping)
{
    using Step = std::function<void()>;
    const Step stop = [this] { monitor->lifecycle().DeviceResetExecute(); };
    const Step initialise = [this] { monitor->lifecycle().DeviceInitializationExecute(); };
    const Step choose = [this] { this->choose(); };
    const Step tab1 = [this] { monitor->outputArrays().SOChange(0); };
    const Step tab2 = [this] { monitor->outputArrays().SOChange(1); };
    struct Case {
        const char* what;
        std::vector<Step> steps; // after a cyclic start on channel 1
        std::uint16_t modeOfChannel1;
        bool typing; // typing is taken, and the bit editor sends no word
    };
    const Case cases[] = {
        {"device stop", {stop}, kOutputStopped, true},
        {"initialisation", {initialise}, kOutputStopped, true},
        {"stop, choice again, initialisation", {stop, choose, initialise}, kOutputStopped, true},
        {"another tab shown", {tab2}, kOutputCyclic, true},
        {"back on the cyclic tab", {tab2, tab1}, kOutputCyclic, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp(); // a fresh monitor
        output().SOciclePuskExecute();
        for (const Step& step : c.steps)
            step();
        EXPECT_EQ(run().outputMode[0], c.modeOfChannel1);
        EXPECT_EQ(screen().outputGridEditable, c.typing);
        OutputGrid& grid = monitor->outputGrid();
        grid.DrawGrid1KeyPress('7');
        EXPECT_EQ(grid.DrawGrid1SetEditText(kAddressColumn, 1, "7"), c.typing);
        bus.sent.clear();
        ASSERT_TRUE(grid.DrawGrid1MouseDown(MouseButton::Right, 1, 1));
        grid.bitEditorClosed();
        EXPECT_EQ(bus.count(ReqSOwordUpdate), c.typing ? 0 : 1);
    }
}

TEST_F(OutputControlTest, ATabSwitchSetsTheArrayCommandsFromTheChannelsModeAtOnce)
{
    struct Case {
        const char* what;
        std::vector<int> tabs; // shown in turn, the module idle at a tick between them
        bool locked;
    };
    const Case cases[] = {
        {"idle channel 2 after cyclic channel 1", {1}, false},
        {"back to cyclic channel 1", {1, 0}, true},
        {"channel 3 after its single output", {2}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        monitor->outputArrays().SOChange(2);
        output().SOsinglePuskExecute();
        monitor->outputArrays().SOChange(0);
        output().SOciclePuskExecute();
        for (int tab : c.tabs) {
            bus.soRunning = false;
            tick();
            monitor->outputArrays().SOChange(tab);
        }
        EXPECT_EQ(locked(), c.locked);
        EXPECT_EQ(enabled(Control::cbSOArrayDim), !c.locked);
    }
    // Outside initialisation a tab switch enables nothing.
    monitor->lifecycle().DeviceResetExecute();
    monitor->outputArrays().SOChange(1);
    EXPECT_FALSE(enabled(Control::tbSOdataClear));
}
