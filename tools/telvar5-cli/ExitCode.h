#pragma once
// The exit codes of telvar5-cli, as its --help lists them. A bench script
// tells from them alone what went wrong.
namespace telvar5::cli {

enum class ExitCode : int {
    Success = 0,       // every command of the invocation was carried out, and every line of it written
    RequestFailed = 1, // the module refused a request (a start, a stop) or stopped answering
    BadArgument = 2,   // unknown command or option, a bad number, a channel out of range
    NoModule = 3,      // no module found, not the one asked for, or the first one would not open
    FileError = 4,     // a file (or stdout) that cannot be read or written, or that is not a regular file
    NotTriggered = 5,  // a recording's start condition was not met in its time: no file was written
    Interrupted = 130, // Ctrl+C or a termination signal: what transmitted was stopped first
    OutputClosed = 141, // the reader of stdout went away (a closed pipe): stopped first, as at Ctrl+C
};

} // namespace telvar5::cli
