#include "RunCli.h"

#include <memory>
#include <vector>

#include "CliError.h"
#include "CliSession.h"
#include "Command.h"
#include "CommandLine.h"
#include "HelpText.h"
#include "formats/ReplaceFile.h"

namespace telvar5::cli {

namespace {

int report(std::ostream& err, const std::string& message, ExitCode code)
{
    err << "telvar5-cli: " + message + "\n" << std::flush;
    return static_cast<int>(code);
}

// Opens the invocation's driver and says on stderr what became of a named
// configuration: a file that is not there or cannot be read leaves no module,
// and the commands then find none.
PlatformDeviceBus openDriver(const CommandLine& line, std::ostream& err, CliEnvironment& env)
{
    if (!env.openBus)
        return {};
    if (!line.virtualModule)
        return env.openBus(std::nullopt);
    PlatformDeviceBus opened = env.openBus(pathFromUtf8(*line.virtualModule));
    const std::string file = "файл виртуального модуля " + *line.virtualModule;
    switch (opened.config) {
    case PlatformDeviceBus::Config::Missing:
        err << "telvar5-cli: " + file + " не найден: модулей нет\n" << std::flush;
        break;
    case PlatformDeviceBus::Config::Unreadable:
        err << "telvar5-cli: " + file + " не читается: модулей нет\n" << std::flush;
        break;
    case PlatformDeviceBus::Config::Read:
    case PlatformDeviceBus::Config::NotNamed:
        if (!opened.configErrorLines.empty()) {
            std::string lines;
            for (const int n : opened.configErrorLines)
                lines += (lines.empty() ? "" : ", ") + std::to_string(n);
            err << "telvar5-cli: " + file + ": пропущены строки с ошибками: " + lines + "\n" << std::flush;
        }
        break;
    }
    return opened;
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

        const PlatformDeviceBus driver = openDriver(line, err, env);
        CliEnvironment sessionEnv = env;
        if (driver.bus)
            sessionEnv.bus = driver.bus.get();
        CliSession session(sessionEnv, out, err);
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
