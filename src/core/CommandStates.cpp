#include "core/CommandStates.h"

namespace telvar5 {

namespace {
constexpr std::array<std::string_view, kControlCount> kControlNames{
    "tbExit", "tbDeviceChoice", "tbDeviceIni", "tbDeviceReset", "tbSIaddressPusk", "tbSIfilePusk",
    "tbSIstop", "tbSOsinglePusk", "tbSOciclePusk", "tbSOstop", "tbSOdataClear", "tbSOdataTest",
    "tbSOdataOpen", "tbSOdataSave", "tbFormat", "tbParamFormat", "tbTimer", "tbHelp", "devicechoice",
    "DeviceInitialization1", "DeviceReset1", "mmChannels", "mmSIstop", "mmSOstop", "mmSOdata",
    "cbSOArrayDim"};
constexpr std::array<std::string_view, kPanelCount> kPanelNames{"Panel2", "Panel9", "Panel5"};
} // namespace

std::string_view controlName(Control c) { return kControlNames[static_cast<std::size_t>(c)]; }
std::string_view panelName(Panel p) { return kPanelNames[static_cast<std::size_t>(p)]; }

CommandStates::CommandStates()
{
    for (Control c : {Control::tbExit, Control::tbDeviceChoice, Control::devicechoice, Control::tbFormat,
                      Control::tbParamFormat, Control::tbTimer, Control::tbHelp})
        setEnabled(c, true);
}

void CommandStates::moduleChosen()
{
    setEnabled(Control::DeviceInitialization1, true);
    setEnabled(Control::tbDeviceIni, true);
    setShown(Panel::Panel2, true);
    setShown(Panel::Panel9, true);
}

void CommandStates::initialised()
{
    setEnabled(Control::devicechoice, false);
    setEnabled(Control::DeviceInitialization1, false);
    setEnabled(Control::DeviceReset1, true);
    setEnabled(Control::tbDeviceChoice, false);
    setEnabled(Control::tbDeviceIni, false);
    setEnabled(Control::tbDeviceReset, true);
    setEnabled(Control::mmChannels, true);
    setEnabled(Control::mmSOdata, true);
    setEnabled(Control::tbSIaddressPusk, true);
    setEnabled(Control::tbSIfilePusk, true);
    setEnabled(Control::tbSIstop, false);
    setEnabled(Control::tbSOsinglePusk, true);
    setEnabled(Control::tbSOciclePusk, true);
    setEnabled(Control::tbSOstop, false);
    setEnabled(Control::tbSOdataClear, true);
    setEnabled(Control::tbSOdataTest, true);
    setEnabled(Control::cbSOArrayDim, true);
    setEnabled(Control::tbSOdataOpen, true);
    setEnabled(Control::tbSOdataSave, true);
    setShown(Panel::Panel9, false);
    setShown(Panel::Panel5, true);
}

void CommandStates::stopped()
{
    setEnabled(Control::devicechoice, true);
    setEnabled(Control::DeviceInitialization1, true);
    setEnabled(Control::DeviceReset1, false);
    setEnabled(Control::tbDeviceChoice, true);
    setEnabled(Control::tbDeviceIni, true);
    setEnabled(Control::tbDeviceReset, false);
    setEnabled(Control::mmChannels, false);
    setEnabled(Control::mmSOdata, false);
    for (Control c : {Control::tbSIaddressPusk, Control::tbSIfilePusk, Control::tbSIstop, Control::tbSOsinglePusk,
                      Control::tbSOciclePusk, Control::tbSOstop, Control::tbSOdataClear, Control::tbSOdataTest,
                      Control::tbSOdataOpen, Control::tbSOdataSave})
        setEnabled(c, false);
    setShown(Panel::Panel9, true);
    setShown(Panel::Panel5, false);
}

void CommandStates::receptionStarted()
{
    setEnabled(Control::tbSIstop, true);
    setEnabled(Control::mmSIstop, true);
}

void CommandStates::receptionStopped()
{
    setEnabled(Control::tbSIstop, false);
    setEnabled(Control::mmSIstop, false);
}

void CommandStates::inputStateReported(bool running)
{
    setEnabled(Control::tbSIstop, running);
    setEnabled(Control::mmSIstop, running);
}

void CommandStates::setOutputDataCommands(bool on)
{
    setEnabled(Control::tbSOdataClear, on);
    setEnabled(Control::tbSOdataTest, on);
    setEnabled(Control::tbSOdataOpen, on);
    setEnabled(Control::tbSOdataSave, on);
    setEnabled(Control::mmSOdata, on);
}

void CommandStates::transmissionStarted()
{
    setEnabled(Control::tbSOstop, true);
    setEnabled(Control::mmSOstop, true);
    setOutputDataCommands(false);
}

void CommandStates::transmissionStopped()
{
    setEnabled(Control::tbSOstop, false);
    setEnabled(Control::mmSOstop, false);
    setOutputDataCommands(true);
}

void CommandStates::outputStateReported(bool running)
{
    setEnabled(Control::tbSOstop, running);
    setEnabled(Control::mmSOstop, running);
    setOutputDataCommands(!running);
    setEnabled(Control::cbSOArrayDim, !running);
}

void CommandStates::outputChannelShown(bool cyclicStarted)
{
    // Outside initialisation the device stop has disabled them, and so they stay.
    if (shown(Panel::Panel5))
        outputStateReported(cyclicStarted);
}

} // namespace telvar5
