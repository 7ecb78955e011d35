// The monitor's core against the real virtual driver with every request kind
// failing in every way a driver can: failed, short, random or slow replies,
// and a module that vanishes. Whatever happens, the run state stays sound, and
// once the fault is cleared a new choice and initialisation work as ever.
#include <gtest/gtest.h>

#include <memory>
#include <set>
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

// The system's handles: those opened before the module went away stay dead
// once it is back, failing with error 1167 as the stand-in driver's do.
class SystemHandles final : public DeviceBus {
public:
    explicit SystemHandles(DeviceBus& inner) : inner_(inner) {}
    DeviceHandle openDeviceByIndex(const Guid& cls, std::uint32_t index, std::uint32_t& error) override
    {
        const DeviceHandle handle = inner_.openDeviceByIndex(cls, index, error);
        opened_.push_back(handle);
        return handle;
    }
    bool control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize, std::uint32_t& bytesReturned) override
    {
        bytesReturned = 0;
        const bool done = !dead_.count(handle) && inner_.control(handle, code, in, inSize, out, outSize, bytesReturned);
        lastError_ = done ? 0 : 1167;
        return done;
    }
    std::uint32_t lastErrorCode() const override { return lastError_; }
    void closeDevice(DeviceHandle handle) override { inner_.closeDevice(handle); }
    void moduleGone() { dead_.insert(opened_.begin(), opened_.end()); }

private:
    DeviceBus& inner_;
    std::vector<DeviceHandle> opened_;
    std::set<DeviceHandle> dead_;
    std::uint32_t lastError_ = 0;
};

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
        if (!monitor->screen().timerActive) { // not initialised: the channel commands stay closed
            monitor->lifecycle().FormClose();
            return;
        }
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
        // No message box for a driver fault, but for a choice or an initialisation that failed.
        for (const std::string& error : prompts.errors)
            EXPECT_TRUE(error.rfind("Модуль (серийный №", 0) == 0 || error.rfind("Модуль не инициализирован", 0) == 0)
                << what << ": " << error;
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
        prompts = test::FakePrompts{};
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

// The module stops answering while input 1 receives and comes back under new
// handles, its old ones dead. A failed initialisation or choice says so and
// keeps what the run had; opening the choice searches again, so the module
// that came back is chosen, initialised and used as before.
TEST_F(FaultTolerance, AModuleThatComesBackUnderNewHandlesCanBeChosenAndUsedAgain)
{
    SystemHandles system(*bus);
    monitor = std::make_unique<Monitor>(system, prompts);
    DeviceChoice& choice = monitor->deviceChoice();
    const RunState& run = monitor->run();
    const ModuleHealth& health = monitor->health();
    auto chooseAndReceive = [&] {
        choice.beforeDialog();
        ASSERT_TRUE(choice.Button1Click());
        EXPECT_EQ(health.state(), HealthState::Healthy) << "the module answered the choice";
        monitor->lifecycle().DeviceInitializationExecute();
        monitor->reception().SIaddressPuskExecute();
        monitor->outputArrays().SOdataTestExecute();
        monitor->output().SOciclePuskExecute();
        tick();
        tick();
        EXPECT_EQ(run.inputBuffer[0][0x10].word, run.outputRecord[0].words[0x10]);
    };
    choice.search();
    chooseAndReceive();
    EXPECT_EQ(choice.searchCount(), 1u) << "a sound module is not searched for again";
    const DeviceHandle firstHandle = run.deviceHandle;

    fault("vanish");
    system.moduleGone();
    tick();
    monitor->lifecycle().DeviceResetExecute();
    fault("restore");
    monitor->lifecycle().DeviceInitializationExecute(); // on the dead handle
    EXPECT_FALSE(monitor->screen().timerActive);
    EXPECT_EQ(health.journal().back().text, "инициализация не выполнена: не удалось инициализировать модуль "
                                            "(ReqDeviceInitialization): устройство не подключено (ошибка 1167)");
    choice.beforeDialog(); // finds the module again
    fault("short ReqDeviceChoice 1");
    EXPECT_FALSE(choice.Button1Click()) << "no channel counts from a configuration word come short";
    EXPECT_EQ(health.journal().back().text, "выбор модуля (сброс) не выполнен: не удалось сбросить модуль при "
                                            "выборе (ReqDeviceChoice): ответ неполный (1 из 2 байт)");
    EXPECT_EQ(run.deviceHandle, firstHandle);
    EXPECT_EQ(run.siChannelCount, 8u);
    EXPECT_EQ(prompts.errors.size(), 2u);

    fault("clear");
    chooseAndReceive();
    EXPECT_NE(run.deviceHandle, firstHandle);
    EXPECT_EQ(run.soChannelCount, 8u);
    EXPECT_EQ(driver->modules()[0].openHandles, 1u) << "the dead handles are closed";
}
