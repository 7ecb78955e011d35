#pragma once
// The monitor's command line. The program takes no argument of its own but
// one, for running it without the card: "--virtual-module FILE" (or
// "--virtual-module=FILE") puts the virtual TELVAR-5 driver that FILE
// configures in place of this computer's driver. Every other argument is
// ignored, as it always was. The arguments are UTF-8 (programArguments).
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace telvar5 {

struct MonitorArguments {
    // Named: the virtual driver's configuration. Given without a file, it
    // names no file, which the driver takes as no module installed.
    std::optional<std::filesystem::path> virtualModuleConfig;

    // The arguments after the program's name. The last --virtual-module counts.
    static MonitorArguments parse(std::span<const std::string> args);
};

} // namespace telvar5
