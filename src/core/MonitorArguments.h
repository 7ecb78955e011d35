#pragma once
// The monitor's command line. The program takes few arguments of its own:
// - "--virtual-module FILE" (or "--virtual-module=FILE"), for running it
//   without the card, puts the virtual TELVAR-5 driver that FILE configures in
//   place of this computer's driver;
// - "--user-folder FOLDER" makes FOLDER, taken within the user's documents
//   folder, the working folder (the Windows shortcuts start the monitor so,
//   since the program's own folder is not the user's to write), and each
//   "--seed PATH", within the program's folder, a file or a folder of files
//   that lays it out where it lacks them.
// - a file whose name ends in ".tlvcap" (what Explorer hands over when a
//   recording is opened with the monitor) is shown in "Поток слов".
// Every other argument is ignored, as it always was. The arguments are UTF-8
// (programArguments); in each "--name=VALUE" form is taken too.
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace telvar5 {

struct MonitorArguments {
    // Named: the virtual driver's configuration. Given without a file, it
    // names no file, which the driver takes as no module installed.
    std::optional<std::filesystem::path> virtualModuleConfig;
    // Relative to the user's documents folder; the last one counts.
    std::optional<std::filesystem::path> userFolder;
    // Relative to the program's folder, in the order given.
    std::vector<std::filesystem::path> seeds;
    // A recording to show; the last one counts.
    std::optional<std::filesystem::path> recording;

    // The arguments after the program's name. The last --virtual-module counts.
    static MonitorArguments parse(std::span<const std::string> args);
};

} // namespace telvar5
