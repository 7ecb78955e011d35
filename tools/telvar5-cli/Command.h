#pragma once
// One command of an invocation. A command reads and judges its options when
// it is made, so every bad argument of the whole line is found before the
// first command touches the module; run() then does the work on the session.
#include <memory>

#include "CommandCall.h"

namespace telvar5::cli {

class CliSession;

class Command {
public:
    virtual ~Command() = default;
    virtual void run(CliSession& session) = 0;
};

// Throws CliError (BadArgument) for a bad value.
std::unique_ptr<Command> makeCommand(const CommandCall& call);

} // namespace telvar5::cli
