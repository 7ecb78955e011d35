#include "ModulesCommand.h"

#include "CliError.h"
#include "CliSession.h"

namespace telvar5::cli {

void ModulesCommand::run(CliSession& session)
{
    const ModuleTable table = session.modules();
    if (table.count == 0)
        throw CliError(ExitCode::NoModule, std::string("modules: ") + kNoModulesLine);
    for (std::size_t i = 0; i < table.count; ++i) {
        session.choose(table.entries[i].enumerationIndex, "modules");
        session.writeLine(session.chosenLine() + "; входных каналов " + std::to_string(session.run().siChannelCount) +
                          ", выходных каналов " + std::to_string(session.run().soChannelCount) + "\n");
    }
}

} // namespace telvar5::cli
