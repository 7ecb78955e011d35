#pragma once
// The commands of the main window. Each is a QAction named after the command
// that stays enabled for the whole run; its menu item and tool button are
// separate objects with their own enabled state that trigger it.
#include <QAction>
#include <array>
#include <cstdint>

namespace telvar5 {

enum class Command : std::uint8_t {
    FileExit1,
    ActionDeviceChoice,
    DeviceInitialization,
    DeviceReset,
    SIaddressPusk,
    SIfilePusk,
    SIstopChannel,
    SOsinglePusk,
    SOciclePusk,
    SOstopChannel,
    SOdataClear,
    SOdataTest,
    FileOpen1,
    FileSaveAs1,
    FormatList,
    ParamFormat,
    TimerPeriod,
    HelpContents1,
    OpenMethodChoice,
    Count
};

inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(Command::Count);

struct MainCommands {
    std::array<QAction*, kCommandCount> actions{};
    QAction* operator[](Command c) const { return actions[static_cast<std::size_t>(c)]; }
};

} // namespace telvar5
