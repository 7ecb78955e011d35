#include <gtest/gtest.h>

#include "core/CommandStates.h"

using namespace telvar5;

namespace {

std::vector<Control> enabledControls(const CommandStates& s)
{
    std::vector<Control> on;
    for (std::size_t i = 0; i < kControlCount; ++i)
        if (s.enabled(static_cast<Control>(i)))
            on.push_back(static_cast<Control>(i));
    return on;
}

void expectChosenLike(const CommandStates& s)
{
    EXPECT_TRUE(s.enabled(Control::devicechoice));
    EXPECT_TRUE(s.enabled(Control::tbDeviceChoice));
    EXPECT_TRUE(s.enabled(Control::DeviceInitialization1));
    EXPECT_TRUE(s.enabled(Control::tbDeviceIni));
    EXPECT_FALSE(s.enabled(Control::DeviceReset1));
    EXPECT_FALSE(s.enabled(Control::tbDeviceReset));
    EXPECT_FALSE(s.enabled(Control::mmChannels));
    EXPECT_FALSE(s.enabled(Control::mmSOdata));
    for (Control c : {Control::tbSIaddressPusk, Control::tbSIfilePusk, Control::tbSIstop, Control::tbSOsinglePusk,
                      Control::tbSOciclePusk, Control::tbSOstop, Control::tbSOdataClear, Control::tbSOdataTest,
                      Control::tbSOdataOpen, Control::tbSOdataSave})
        EXPECT_FALSE(s.enabled(c)) << controlName(c);
    EXPECT_TRUE(s.shown(Panel::Panel2));
    EXPECT_TRUE(s.shown(Panel::Panel9));
    EXPECT_FALSE(s.shown(Panel::Panel5));
}

} // namespace

TEST(CommandStates, AtStartOnlyExitChoiceSettingsAndHelpAreUsable)
{
    CommandStates s;
    const std::vector<Control> expected{Control::tbExit,        Control::tbDeviceChoice, Control::tbFormat,
                                        Control::tbParamFormat, Control::tbTimer,        Control::tbHelp,
                                        Control::devicechoice};
    EXPECT_EQ(enabledControls(s), expected);
    EXPECT_FALSE(s.shown(Panel::Panel2));
    EXPECT_FALSE(s.shown(Panel::Panel9));
    EXPECT_FALSE(s.shown(Panel::Panel5));
}

TEST(CommandStates, ThroughTheFourDeviceStates)
{
    CommandStates s;
    s.moduleChosen();
    expectChosenLike(s);

    s.initialised();
    EXPECT_FALSE(s.enabled(Control::devicechoice));
    EXPECT_FALSE(s.enabled(Control::tbDeviceChoice));
    EXPECT_FALSE(s.enabled(Control::tbDeviceIni));
    EXPECT_FALSE(s.enabled(Control::DeviceInitialization1));
    EXPECT_TRUE(s.enabled(Control::tbDeviceReset));
    EXPECT_TRUE(s.enabled(Control::DeviceReset1));
    EXPECT_TRUE(s.enabled(Control::mmChannels));
    EXPECT_TRUE(s.enabled(Control::mmSOdata));
    for (Control c : {Control::tbSIaddressPusk, Control::tbSIfilePusk, Control::tbSOsinglePusk, Control::tbSOciclePusk,
                      Control::tbSOdataClear, Control::tbSOdataTest, Control::tbSOdataOpen, Control::tbSOdataSave,
                      Control::cbSOArrayDim})
        EXPECT_TRUE(s.enabled(c)) << controlName(c);
    EXPECT_FALSE(s.enabled(Control::tbSIstop));
    EXPECT_FALSE(s.enabled(Control::tbSOstop));
    EXPECT_FALSE(s.shown(Panel::Panel9));
    EXPECT_TRUE(s.shown(Panel::Panel5));

    s.stopped();
    expectChosenLike(s);

    s.initialised();
    EXPECT_TRUE(s.enabled(Control::tbDeviceReset));
}

TEST(CommandStates, StopMenuItemsKeepTheirStateAcrossAStop)
{
    CommandStates s;
    s.moduleChosen();
    s.initialised();
    s.receptionStarted();
    s.transmissionStarted();
    s.stopped();
    // Unreachable under the disabled "Канал", but unchanged.
    EXPECT_TRUE(s.enabled(Control::mmSIstop));
    EXPECT_TRUE(s.enabled(Control::mmSOstop));
    EXPECT_FALSE(s.enabled(Control::mmChannels));
    EXPECT_FALSE(s.enabled(Control::tbSIstop));
}

TEST(CommandStates, ReceptionAndTransmissionRules)
{
    CommandStates s;
    s.moduleChosen();
    s.initialised();

    s.receptionStarted();
    EXPECT_TRUE(s.enabled(Control::tbSIstop));
    EXPECT_TRUE(s.enabled(Control::mmSIstop));
    s.inputStateReported(false);
    EXPECT_FALSE(s.enabled(Control::tbSIstop));
    EXPECT_FALSE(s.enabled(Control::mmSIstop));
    s.inputStateReported(true);
    EXPECT_TRUE(s.enabled(Control::tbSIstop));
    s.receptionStopped();
    EXPECT_FALSE(s.enabled(Control::mmSIstop));
    // Start commands stay enabled throughout.
    EXPECT_TRUE(s.enabled(Control::tbSIaddressPusk));

    s.transmissionStarted();
    EXPECT_TRUE(s.enabled(Control::tbSOstop));
    EXPECT_FALSE(s.enabled(Control::mmSOdata));
    EXPECT_FALSE(s.enabled(Control::tbSOdataSave));
    // The start commands leave the array size list alone; only the tick locks it.
    EXPECT_TRUE(s.enabled(Control::cbSOArrayDim));
    s.transmissionStopped();
    EXPECT_TRUE(s.enabled(Control::tbSOdataClear));
    // A module that still reports transmission locks the data commands on every tick.
    s.outputStateReported(true);
    EXPECT_FALSE(s.enabled(Control::cbSOArrayDim));
    EXPECT_FALSE(s.enabled(Control::tbSOdataTest));
    EXPECT_TRUE(s.enabled(Control::mmSOstop));
    s.outputStateReported(false);
    EXPECT_TRUE(s.enabled(Control::cbSOArrayDim));
    EXPECT_TRUE(s.enabled(Control::mmSOdata));
    EXPECT_TRUE(s.enabled(Control::tbSOciclePusk));
}

TEST(CommandStates, NamesAreTheObjectNames)
{
    EXPECT_EQ(controlName(Control::tbSIstop), "tbSIstop");
    EXPECT_EQ(controlName(Control::DeviceInitialization1), "DeviceInitialization1");
    EXPECT_EQ(controlName(Control::cbSOArrayDim), "cbSOArrayDim");
    EXPECT_EQ(panelName(Panel::Panel9), "Panel9");
}
