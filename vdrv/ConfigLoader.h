#pragma once
// Reading the driver's configuration file. The format is described at the top
// of demo/telvar5-vdrv.conf; in short, one statement per line:
//
//   bench-socket PATH                         relative to the file's folder, which must be
//                                             private (BenchAccess.h)
//   interface I serial S inputs N outputs M   I 0..15, S 0..65535, N and M 0..8
//   interface I fails [ERROR]                 present, opening fails (default error 5)
//   traffic I CHANNEL low|mid|high            the bus on input CHANNEL of interface I;
//     bnr LABEL PERIOD_MS BITS RESOLUTION SHAPE ARGS... [ssm S]   parameters sent on it
//     discrete LABEL PERIOD_MS DATA_HEX
//   wire I OUTPUT INPUT|none                  output OUTPUT of interface I feeds input INPUT,
//                                             or nothing (default: output k feeds input k)
//   fault I|all fail|random|short|slow|vanish|seed ...   a fault the module starts with
//                                             (vdrv/FaultSetting.h)
//
// Malformed lines are reported with their numbers and otherwise ignored; loading
// never throws.
#include <filesystem>
#include <string_view>

#include "vdrv/DriverConfig.h"

namespace telvar5::vdrv {

inline constexpr const char* kConfigFileName = "telvar5-vdrv.conf";
inline constexpr const char* kSystemConfigPath = "/etc/telvar5/telvar5-vdrv.conf";

// Parses configuration text; a relative bench socket path resolves against baseDir.
ConfigLoadResult parseConfigText(std::string_view text, const std::filesystem::path& baseDir);

// Loads a file. A missing file gives found = false and no errors.
ConfigLoadResult loadConfigFile(const std::filesystem::path& path);

// "telvar5-vdrv.conf" in the current directory, else the system-wide file;
// an empty path when neither exists.
std::filesystem::path findInstalledConfig();

} // namespace telvar5::vdrv
