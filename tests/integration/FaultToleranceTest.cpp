// The monitor's core against the real virtual driver with every request kind
// failing in every way a driver can: failed, short, random or slow replies,
// and a module that vanishes. Whatever happens, the run state stays sound, and
// once the fault is cleared a new choice and initialisation work as ever.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Monitor.h"
#include "device/virtual/VirtualDeviceBus.h"
#include "support/FakePrompts.h"
#include "vdrv/ConfigLoader.h"
#include "vdrv/FaultSetting.h"
#include "vdrv/ManualClock.h"
#include "vdrv/TextFields.h"
#include "vdrv/VirtualDriver.h"

using namespace telvar5;

namespace {

constexpr vdrv::Micros kPeriodUs = 100'000;

class FaultTolerance : public ::testing::Test {
protected:
    std::shared_ptr<vdrv::ManualClock> clock = std::make_shared<vdrv::ManualClock>();
    std::shared_ptr<vdrv::VirtualDriver> driver;
    std::unique_ptr<VirtualDeviceBus> bus;
    test::FakePrompts prompts;
    std::unique_ptr<Monitor> monitor;

    void SetUp() override
    {
        driver = std::make_shared<vdrv::VirtualDriver>(
            vdrv::parseConfigText("interface 0 serial 77 inputs 8 outputs 8\n", "/tmp"), clock);
        bus = std::make_unique<VirtualDeviceBus>(driver);
        monitor = std::make_unique<Monitor>(*bus, prompts);
    }

    void fault(const std::string& words)
    {
        std::vector<std::string_view> fields = vdrv::splitFields(words);
        std::string error;
        const auto setting = vdrv::parseFaultSetting(fields, error);
        ASSERT_TRUE(setting) << error;
        ASSERT_TRUE(driver->setFault(0, *setting, error)) << error;
    }

    void tick()
    {
        clock->advanceUs(kPeriodUs);
        monitor->refresh().Timer1Timer();
    }

    // A whole session as a user runs it: search, choice, initialisation,
    // reception, an array sent cyclically with a word changed, a single
    // output, stops, and the close of the window.
    void session()
    {
        DeviceChoice& choice = monitor->deviceChoice();
        choice.search();
        choice.beforeDialog();
        choice.FormShow();
        choice.Button1Click();
        choice.FormClose();
        choice.afterDialog();
        if (!monitor->run().deviceChosen)
            return;
        monitor->lifecycle().DeviceInitializationExecute();
        monitor->reception().SIaddressPuskExecute();
        monitor->outputArrays().SOdataTestExecute();
        monitor->outputArrays().cbSOArrayDimChange(15);
        monitor->output().SOciclePuskExecute();
        for (int i = 0; i < 3; ++i)
            tick();
        if (monitor->outputGrid().DrawGrid1MouseDown(MouseButton::Right, 1, 3)) {
            monitor->bitEditor().FormShow();
            monitor->bitEditor().CheckBoxClick(1, true);
            monitor->bitEditor().Button1Click();
            monitor->outputGrid().bitEditorClosed();
        }
        tick();
        monitor->output().SOsinglePuskExecute();
        tick();
        monitor->output().SOstopChannelExecute();
        monitor->reception().SIstopChannelExecute();
        tick();
        monitor->lifecycle().DeviceResetExecute();
        monitor->lifecycle().FormClose();
    }

    void expectSoundState(const std::string& what)
    {
        const RunState& run = monitor->run();
        for (const auto& channel : run.inputBuffer)
            for (const InputCell& cell : channel)
                ASSERT_TRUE(cell.word == 0 || cell.word >= 0x10000u) << what;
        for (std::size_t k = 0; k < kChannels && run.deviceChosen; ++k) {
            EXPECT_GE(run.arraySize[k], 1) << what;
            EXPECT_LE(run.arraySize[k], 256) << what;
        }
        // Input 1 hears only output 1's test array: a cell holds its own label's
        // word or nothing, never a word an earlier reply left behind. (Random
        // replies are words the driver said, and are taken as such.)
        if (what.find("random") == std::string::npos) {
            for (std::uint32_t j = 0; j < kInputCells; ++j) {
                const std::uint32_t word = run.inputBuffer[0][j].word;
                const std::uint32_t pattern = j | (1u << 8) | ((255u - j) << 16) | (254u << 24);
                if (word != 0) { // bit 32 of a word may have been set in the bit editor
                    ASSERT_EQ(word & 0x7FFFFFFFu, pattern & 0x7FFFFFFFu) << what << " cell " << j;
                }
            }
        }
        const ScreenState& screen = monitor->screen();
        auto blank = [](const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; };
        EXPECT_TRUE(blank(screen.statusBar2[0]) || screen.statusBar2[0].rfind("Входной канал №", 0) == 0) << what;
        EXPECT_TRUE(blank(screen.statusBar2[1]) || screen.statusBar2[1].rfind("Выходной канал №", 0) == 0) << what;
        EXPECT_TRUE(prompts.errors.empty()) << what << ": no message box for a driver fault";
    }

    // After the fault: a new choice and initialisation, and the loopback works.
    void expectRecovery(const std::string& what)
    {
        fault("clear");
        DeviceChoice& choice = monitor->deviceChoice();
        choice.search();
        ASSERT_TRUE(choice.Button1Click()) << what;
        choice.afterDialog();
        monitor->lifecycle().DeviceInitializationExecute();
        monitor->reception().SIaddressPuskExecute();
        monitor->outputArrays().SOdataTestExecute();
        monitor->output().SOciclePuskExecute();
        tick();
        tick();
        EXPECT_EQ(monitor->run().inputBuffer[0][0x10].word, monitor->run().outputRecord[0].words[0x10]) << what;
        EXPECT_NE(monitor->screen().statusBar2[1].find("выдача циклическая"), std::string::npos) << what;
    }
};

} // namespace

TEST_F(FaultTolerance, EveryRequestKindUnderEveryFault)
{
    std::vector<std::string> faults;
    for (const RequestInfo& request : kRequestTable) {
        const std::string name(request.name);
        for (const char* kind : {"fail ", "short ", "random ", "slow "})
            faults.push_back(kind + name + (std::string(kind) == "slow " ? " 1" : ""));
        faults.push_back("fail " + name + " prob 0.5");
        faults.push_back("fail " + name + " next 1");
    }
    faults.push_back("vanish");
    faults.push_back("short 0");
    faults.push_back("random");

    for (const std::string& f : faults) {
        SCOPED_TRACE(f);
        monitor.reset();
        bus.reset();
        SetUp();
        fault(f);
        session();
        expectSoundState(f);
        expectRecovery(f);
    }
}

TEST_F(FaultTolerance, AModuleThatVanishesMidRunKeepsTheDataAndComesBack)
{
    session();
    DeviceChoice& choice = monitor->deviceChoice();
    choice.search();
    ASSERT_TRUE(choice.Button1Click());
    choice.afterDialog();
    monitor->lifecycle().DeviceInitializationExecute();
    monitor->reception().SIaddressPuskExecute();
    monitor->outputArrays().SOdataTestExecute();
    monitor->output().SOciclePuskExecute();
    tick();
    const InputChannelBuffer before = monitor->run().inputBuffer[0];
    ASSERT_NE(before[5].word, 0u);
    fault("vanish");
    for (int i = 0; i < 5; ++i)
        tick();
    EXPECT_EQ(monitor->run().inputBuffer[0][5].word, before[5].word) << "the words received stay";
    EXPECT_NE(monitor->screen().statusBar2[0].find("прием остановлен"), std::string::npos);
    fault("restore");
    for (int i = 0; i < 8; ++i) // one repetition of the 256-word array takes 737 ms
        tick();
    EXPECT_NE(monitor->screen().statusBar2[0].find("прием адресный"), std::string::npos);
    EXPECT_GT(monitor->run().inputBuffer[0][5].cycleNo, before[5].cycleNo) << "reception goes on";
}
