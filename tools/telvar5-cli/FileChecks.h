#pragma once
// The checks every command makes of its files before the first command of the
// invocation touches the module: a file it reads must be a regular file that
// opens (a pipe would block the open), a file it writes must be one the
// replacing writer may replace. Each throws CliError (FileError) with a line
// that names the command, the file and the reason.
#include <string>
#include <string_view>

namespace telvar5::cli {

// what: "файл массива", as the message names the file.
void requireReadable(std::string_view command, std::string_view what, const std::string& path);
// A parameter formats file (.si) that reads.
void requireParamFormats(std::string_view command, const std::string& path);
// A capture file whose header this program reads.
void requireCapture(std::string_view command, const std::string& path);
// A target that is missing or a regular file the user may write; refused: a
// folder, a device, a pipe, a socket, a read-only file. what: "таблицу", as
// the message names what would be written; hint follows the reason.
void requireReplaceable(std::string_view command, std::string_view what, const std::string& path,
                        std::string_view hint = {});

} // namespace telvar5::cli
