#pragma once
// The enabled state of every menu item and tool button of the main window and
// the shown state of its three big panels. Handlers change this table; the main
// window applies it to its widgets after each handler and each tick. A menu item
// and the tool button of the same command are separate entries, so each can be
// enabled on its own.
#include <array>
#include <cstdint>
#include <string_view>

namespace telvar5 {

enum class Control : std::uint8_t {
    // Tool buttons, in toolbar order.
    tbExit,
    tbDeviceChoice,
    tbDeviceIni,
    tbDeviceReset,
    tbSIaddressPusk,
    tbSIfilePusk,
    tbSIstop,
    tbSOsinglePusk,
    tbSOciclePusk,
    tbSOstop,
    tbSOdataClear,
    tbSOdataTest,
    tbSOdataOpen,
    tbSOdataSave,
    tbFormat,
    tbParamFormat,
    tbTimer,
    tbHelp,
    // Menu items and submenus whose state is set on its own.
    devicechoice,
    DeviceInitialization1,
    DeviceReset1,
    mmChannels,
    mmSIstop,
    mmSOstop,
    mmSOdata,
    // Array size list of the output side.
    cbSOArrayDim,
    Count
};

enum class Panel : std::uint8_t { Panel2, Panel9, Panel5, Count };

inline constexpr std::size_t kControlCount = static_cast<std::size_t>(Control::Count);
inline constexpr std::size_t kPanelCount = static_cast<std::size_t>(Panel::Count);

// The Qt objectName of a control or panel.
std::string_view controlName(Control c);
std::string_view panelName(Panel p);

class CommandStates {
public:
    CommandStates(); // the states at program start

    bool enabled(Control c) const { return enabled_[index(c)]; }
    void setEnabled(Control c, bool on) { enabled_[index(c)] = on; }
    bool shown(Panel p) const { return shown_[static_cast<std::size_t>(p)]; }
    void setShown(Panel p, bool on) { shown_[static_cast<std::size_t>(p)] = on; }

    // A module has been chosen (or the choice dialog closed after an earlier choice).
    void moduleChosen();
    // DeviceInitialization and DeviceReset.
    void initialised();
    void stopped();

    // Rules while initialised.
    void receptionStarted();  // SIaddressPusk, SIfilePusk
    void receptionStopped();  // SIstopChannel
    void inputStateReported(bool running);
    void transmissionStarted(); // SOsinglePusk, SOciclePusk
    void transmissionStopped(); // SOstopChannel
    void outputStateReported(bool running);
    // Another output tab while the data panel is shown: until the next tick
    // confirms them, the output controls follow the channel's started cyclic output.
    void outputChannelShown(bool cyclicStarted);

private:
    static std::size_t index(Control c) { return static_cast<std::size_t>(c); }
    void setOutputDataCommands(bool on);
    std::array<bool, kControlCount> enabled_{};
    std::array<bool, kPanelCount> shown_{};
};

} // namespace telvar5
