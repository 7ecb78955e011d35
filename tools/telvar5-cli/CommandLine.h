#pragma once
// Splits the arguments into commands: a command word starts a new command,
// options belong to the command before them, except --virtual-module FILE,
// which belongs to the whole invocation wherever it stands. Only the shape is
// checked here (known commands, known options, values present, no option
// twice); the commands judge the values themselves.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "CommandCall.h"

namespace telvar5::cli {

class CommandLine {
public:
    // Throws CliError (BadArgument) on an unknown command or option, a missing
    // value, an option given twice, or no command at all. --help (or -h) and
    // --version win over all of that, wherever they stand: help is asked for
    // when the line is not right yet.
    static CommandLine parse(std::span<const std::string> args);
    static bool isCommand(std::string_view word);

    bool version = false;     // --version
    bool generalHelp = false; // --help before any command; after one, that command's call alone, its help set
    std::optional<std::string> virtualModule; // --virtual-module: the virtual driver's configuration (UTF-8)
    std::vector<CommandCall> calls;
};

} // namespace telvar5::cli
