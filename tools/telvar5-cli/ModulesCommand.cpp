#include "ModulesCommand.h"

#include "CliError.h"
#include "CliSession.h"

namespace telvar5::cli {

void ModulesCommand::run(CliSession& session)
{
    const ModuleTable table = session.modules();
    // Those that are there but would not open are named too, on stderr.
    const std::vector<std::string> unopened = session.unopenedModules();
    if (table.count == 0 && !unopened.empty())
        throw CliError(ExitCode::NoModule, "modules: " + unopened.front());
    if (table.count == 0)
        throw CliError(ExitCode::NoModule, std::string("modules: ") + kNoModulesLine);
    for (const std::string& line : unopened)
        session.note("modules: " + line);
    for (std::size_t i = 0; i < table.count; ++i) {
        session.choose(table.entries[i].enumerationIndex, "modules");
        session.writeLine(session.chosenLine() + "; входных каналов " + std::to_string(session.run().siChannelCount) +
                          ", выходных каналов " + std::to_string(session.run().soChannelCount) + "\n");
    }
}

} // namespace telvar5::cli
