#pragma once
// `modules`: the modules found, each with its line of the device choice and
// its channel counts. The counts come with the choice request, which resets
// the module, as choosing it in the window does.
#include "Command.h"

namespace telvar5::cli {

class ModulesCommand final : public Command {
public:
    void run(CliSession& session) override;
};

} // namespace telvar5::cli
