#include "RunCli.h"

#include <cerrno>
#include <memory>
#include <optional>
#include <vector>

#include "CliError.h"
#include "CliSession.h"
#include "Command.h"
#include "CommandLine.h"
#include "FilePlan.h"
#include "HelpText.h"
#include "StdoutFailure.h"
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

// Help, the version: text on stdout that must arrive whole.
int printOut(std::ostream& out, const std::string& text)
{
    errno = 0;
    out << text << std::flush;
    if (!out)
        throw stdoutFailure(errno);
    return static_cast<int>(ExitCode::Success);
}

// A run that was stopped (Ctrl+C, a closed stdout) says, after the session's
// end sent them, that the outputs stopped and the module was reset, or that it
// could not.
std::string afterStop(const CliError& failure, bool hadModule, const std::optional<CliError>& finishFailure)
{
    const std::string said = failure.what();
    if (failure.code() != ExitCode::Interrupted && failure.code() != ExitCode::OutputClosed)
        return said;
    if (finishFailure)
        return said + "; остановить выдачу и сбросить модуль не удалось: " + finishFailure->what();
    return hadModule ? said + ": выдача остановлена, модуль сброшен" : said;
}

} // namespace

int runCli(std::span<const std::string> args, std::ostream& out, std::ostream& err, CliEnvironment& env)
{
    try {
        const CommandLine line = CommandLine::parse(args);
        if (line.version)
            return printOut(out, HelpText::version());
        if (line.generalHelp)
            return printOut(out, HelpText::general());
        for (const CommandCall& call : line.calls)
            if (call.help)
                return printOut(out, HelpText::command(call.name));
        // Every command judges its options, then every file, before the first one runs.
        std::vector<std::unique_ptr<Command>> commands;
        for (const CommandCall& call : line.calls)
            commands.push_back(makeCommand(call));
        FilePlan plan;
        for (const auto& command : commands)
            command->checkFiles(plan);

        const PlatformDeviceBus driver = openDriver(line, err, env);
        CliEnvironment sessionEnv = env;
        if (driver.bus)
            sessionEnv.bus = driver.bus.get();
        CliSession session(sessionEnv, out, err);
        std::optional<CliError> failure;
        try {
            for (const auto& command : commands) {
                session.stopIfInterrupted();
                command->run(session);
            }
        } catch (const CliError& e) {
            failure = e;
        }
        // What still transmits stops whatever happened, before the failure is told.
        std::optional<CliError> finishFailure;
        bool hadModule = false;
        try {
            hadModule = session.finish();
        } catch (const CliError& e) {
            finishFailure = e;
        }
        if (failure) {
            const std::string message = afterStop(*failure, hadModule, finishFailure);
            if (finishFailure && message == failure->what())
                report(err, finishFailure->what(), finishFailure->code());
            return report(err, message, failure->code());
        }
        return finishFailure ? report(err, finishFailure->what(), finishFailure->code())
                             : static_cast<int>(ExitCode::Success);
    } catch (const CliError& e) {
        return report(err, e.what(), e.code());
    } catch (const std::exception& e) {
        return report(err, std::string("внутренняя ошибка: ") + e.what(), ExitCode::RequestFailed);
    }
}

} // namespace telvar5::cli
