#include "Command.h"

#include "CliError.h"
#include "ExportCommand.h"
#include "GenerateCommand.h"
#include "InitCommand.h"
#include "ModulesCommand.h"
#include "ReceiveCommand.h"
#include "RecordCommand.h"
#include "ReplayCommand.h"
#include "SendCommand.h"

namespace telvar5::cli {

std::unique_ptr<Command> makeCommand(const CommandCall& call)
{
    const OptionValues options(call);
    if (call.name == "modules")
        return std::make_unique<ModulesCommand>();
    if (call.name == "init")
        return std::make_unique<InitCommand>(options);
    if (call.name == "receive")
        return std::make_unique<ReceiveCommand>(options);
    if (call.name == "send")
        return std::make_unique<SendCommand>(options);
    if (call.name == "record")
        return std::make_unique<RecordCommand>(options);
    if (call.name == "export")
        return std::make_unique<ExportCommand>(options);
    if (call.name == "generate")
        return std::make_unique<GenerateCommand>(options);
    if (call.name == "replay")
        return std::make_unique<ReplayCommand>(options);
    throw CliError(ExitCode::BadArgument, "неизвестная команда '" + call.name + "'");
}

} // namespace telvar5::cli
