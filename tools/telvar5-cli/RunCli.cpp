#include "RunCli.h"

#include <memory>
#include <vector>

#include "CliError.h"
#include "CliSession.h"
#include "Command.h"
#include "CommandLine.h"
#include "HelpText.h"

namespace telvar5::cli {

namespace {

int report(std::ostream& err, const std::string& message, ExitCode code)
{
    err << "telvar5-cli: " + message + "\n" << std::flush;
    return static_cast<int>(code);
}

} // namespace

int runCli(std::span<const std::string> args, std::ostream& out, std::ostream& err, CliEnvironment& env)
{
    try {
        const CommandLine line = CommandLine::parse(args);
        if (line.generalHelp) {
            out << HelpText::general() << std::flush;
            return static_cast<int>(ExitCode::Success);
        }
        for (const CommandCall& call : line.calls) {
            if (call.help) {
                out << HelpText::command(call.name) << std::flush;
                return static_cast<int>(ExitCode::Success);
            }
        }
        // Every command judges its options before the first one runs.
        std::vector<std::unique_ptr<Command>> commands;
        for (const CommandCall& call : line.calls)
            commands.push_back(makeCommand(call));

        CliSession session(env, out, err);
        int code = static_cast<int>(ExitCode::Success);
        try {
            for (const auto& command : commands)
                command->run(session);
        } catch (const CliError& e) {
            code = report(err, e.what(), e.code());
        }
        // What still transmits stops whatever happened; its failure counts only when all else went well.
        try {
            session.finish();
        } catch (const CliError& e) {
            if (code == static_cast<int>(ExitCode::Success))
                code = report(err, e.what(), e.code());
        }
        return code;
    } catch (const CliError& e) {
        return report(err, e.what(), e.code());
    } catch (const std::exception& e) {
        return report(err, std::string("внутренняя ошибка: ") + e.what(), ExitCode::RequestFailed);
    }
}

} // namespace telvar5::cli
