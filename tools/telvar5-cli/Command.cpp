#include "Command.h"

#include "CliError.h"
#include "ExportCommand.h"
#include "InitCommand.h"
#include "ModulesCommand.h"
#include "ReceiveCommand.h"
#include "RecordCommand.h"
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
    throw CliError(ExitCode::BadArgument, "неизвестная команда '" + call.name + "'");
}

} // namespace telvar5::cli
