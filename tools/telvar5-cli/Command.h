#pragma once
// One command of an invocation. A command reads and judges its options when
// it is made, and checkFiles() judges its files, so every bad argument and
// every file that cannot be read or written is found before the first command
// touches the module; run() then does the work on the session.
#include <memory>

#include "CommandCall.h"
#include "FilePlan.h"

namespace telvar5::cli {

class CliSession;

class Command {
public:
    virtual ~Command() = default;
    // Throws CliError (FileError, or BadArgument for what a file lacks) for a
    // file it reads that an earlier command does not write, and for a file it
    // would write that may not be replaced; notes in `plan` what it writes.
    virtual void checkFiles(FilePlan& plan) { (void)plan; }
    virtual void run(CliSession& session) = 0;
};

// Throws CliError (BadArgument) for a bad value.
std::unique_ptr<Command> makeCommand(const CommandCall& call);

} // namespace telvar5::cli
