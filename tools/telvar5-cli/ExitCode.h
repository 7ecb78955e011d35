#pragma once
// The exit codes of telvar5-cli, as its --help lists them. A bench script
// tells from them alone what went wrong.
namespace telvar5::cli {

enum class ExitCode : int {
    Success = 0,       // every command of the invocation was carried out
    RequestFailed = 1, // the module refused a request or stopped answering
    BadArgument = 2,   // unknown command or option, a bad number, a channel out of range
    NoModule = 3,      // no module found, or not the one asked for
    FileError = 4,     // an array, formats, capture or CSV file that cannot be read or written
    Interrupted = 130, // Ctrl+C or a termination signal: what transmitted was stopped first
};

} // namespace telvar5::cli
