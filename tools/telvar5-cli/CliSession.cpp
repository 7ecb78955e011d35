#include "CliSession.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "CliError.h"
#include "SecondsText.h"
#include "StdoutFailure.h"
#include "core/device/BitRates.h"
#include "core/device/RequestFailureText.h"
#include "formats/FormatSettingsFile.h"
#include "formats/InputFile.h"

namespace telvar5::cli {

namespace {

std::string requestName(std::uint32_t code)
{
    const RequestInfo* info = findRequest(code);
    if (info)
        return std::string(info->name);
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(code));
    return text;
}

} // namespace

CliSession::CliSession(CliEnvironment& env, std::ostream& out, std::ostream& err)
    : env_(env), out_(out), err_(err), watch_(env.bus), prompts_(err),
      monitor_(std::make_unique<Monitor>(watch_, prompts_, *env.clock))
{
}

void CliSession::writeLine(std::string_view line)
{
    errno = 0;
    out_.write(line.data(), static_cast<std::streamsize>(line.size()));
    out_.flush();
    if (!out_)
        throw stdoutFailure(errno);
}

void CliSession::note(std::string_view text)
{
    std::string line = "telvar5-cli: ";
    line.append(text);
    line.push_back('\n');
    err_.write(line.data(), static_cast<std::streamsize>(line.size()));
    err_.flush();
}

const ModuleTable& CliSession::modules()
{
    if (!searched_) {
        monitor_->deviceChoice().search();
        searched_ = true;
    }
    return run().modules;
}

void CliSession::releaseModule()
{
    // Another module is about to be chosen: the one in hand stops everything, as on closing.
    stopStimuli();
    if (run().deviceHandle != kNoDevice)
        monitor_->lifecycle().FormClose();
    cyclic_.reset();
    initialised_ = false;
}

std::vector<std::string> CliSession::unopenedModules()
{
    modules();
    std::vector<std::string> lines;
    for (const auto& [index, error] : watch_.failedOpens()) {
        const std::string meaning = systemErrorMeaning(error);
        lines.push_back("модуль с порядковым № " + std::to_string(index) + " не открывается (" +
                        (meaning.empty() ? std::string() : meaning + ", ") + "ошибка " + std::to_string(error) + ")");
    }
    return lines;
}

void CliSession::choose(std::optional<std::uint32_t> ordinal, std::string_view command)
{
    const ModuleTable& table = modules();
    const std::string where = std::string(command) + ": ";
    const auto& failed = watch_.failedOpens();
    // A module there that would not open (another program holds it, or no
    // rights) is named, and the next one is taken only when asked for.
    const std::uint32_t firstFound = table.count > 0 ? table.entries[0].enumerationIndex : kMaxInterfaceIndex;
    const std::vector<std::string> unopened = unopenedModules();
    for (std::size_t k = 0; k < failed.size(); ++k) {
        const std::string& line = unopened[k];
        if (ordinal && *ordinal == failed[k].first)
            throw CliError(ExitCode::NoModule, where + line);
        if (!ordinal && failed[k].first < firstFound)
            throw CliError(ExitCode::NoModule,
                           where + line + (table.count == 0 ? std::string()
                                                            : "; другой модуль выбирается только по init --module N "
                                                              "(см. modules)"));
    }
    if (table.count == 0)
        throw CliError(ExitCode::NoModule, where + kNoModulesLine);
    int line = 0;
    if (ordinal) {
        line = -1;
        for (std::size_t i = 0; i < table.count; ++i)
            if (table.entries[i].enumerationIndex == *ordinal)
                line = static_cast<int>(i);
        if (line < 0)
            throw CliError(ExitCode::NoModule, where + "модуль с порядковым № " + std::to_string(*ordinal) +
                                                   " не найден");
    }
    releaseModule();
    DeviceChoice& choice = monitor_->deviceChoice();
    choice.beforeDialog();
    choice.selectLine(line);
    choice.FormShow();
    const std::uint64_t mark = failureMark();
    choice.Button1Click();
    choice.afterDialog();
    expectAnswered(mark, command);
}

void CliSession::initialise(const FreqCodes& codes, std::string_view command)
{
    for (std::size_t k = 0; k < codes.size(); ++k)
        setFreqCode(run(), static_cast<int>(k), codes[k]);
    const std::uint64_t mark = failureMark();
    monitor_->lifecycle().DeviceInitializationExecute();
    expectAnswered(mark, command);
    initialised_ = true;
}

void CliSession::ensureInitialised(std::string_view command)
{
    if (initialised_)
        return;
    choose(std::nullopt, command);
    initialise(FreqCodes{}, command);
    note(std::string(command) + ": команды init не было: инициализирован первый модуль (" + chosenLine() +
         ") с кодом частоты 0 на всех каналах");
}

void CliSession::requireInput(int channel, std::string_view command)
{
    if (channel < 1 || static_cast<std::uint32_t>(channel) > run().siChannelCount)
        throw CliError(ExitCode::BadArgument, std::string(command) + ": у модуля нет входного канала " +
                                                  std::to_string(channel) + " (входных каналов " +
                                                  std::to_string(run().siChannelCount) + ")");
}

void CliSession::requireOutput(int channel, std::string_view command)
{
    if (channel < 1 || static_cast<std::uint32_t>(channel) > run().soChannelCount)
        throw CliError(ExitCode::BadArgument, std::string(command) + ": у модуля нет выходного канала " +
                                                  std::to_string(channel) + " (выходных каналов " +
                                                  std::to_string(run().soChannelCount) + ")");
}

void CliSession::expectAnswered(std::uint64_t mark, std::string_view command) const
{
    if (watch_.failures() > mark)
        throw CliError(ExitCode::RequestFailed, std::string(command) + ": модуль не выполнил запрос " +
                                                    requestName(watch_.lastFailedCode()));
}

void CliSession::startReception(int channel, std::uint16_t mode, std::string_view command)
{
    requireInput(channel, command);
    monitor_->reception().SIChange(channel - 1);
    const std::uint64_t mark = failureMark();
    if (mode == kReceptionFile)
        monitor_->reception().SIfilePuskExecute();
    else
        monitor_->reception().SIaddressPuskExecute();
    expectAnswered(mark, command);
}

void CliSession::stopReception(int channel, std::string_view command)
{
    monitor_->reception().SIChange(channel - 1);
    const std::uint64_t mark = failureMark();
    monitor_->reception().SIstopChannelExecute();
    expectAnswered(mark, command);
}

void CliSession::loadParamFormats(const std::string& path, std::string_view command)
{
    if (!monitor_->paramFormats().FileOpen1Accept(path))
        throw CliError(ExitCode::FileError,
                       std::string(command) + ": не удалось открыть файл форматов параметров " + path);
}

void CliSession::warnWithoutDecimalFormats(std::string_view command)
{
    if (formatsWarned_ || run().formats.formatCount > 0)
        return;
    formatsWarned_ = true;
    const InputProblem problem = inputFileProblem(kFormatSettingsFileName);
    note(std::string(command) + ": " +
         (problem == InputProblem::None
              ? std::string("в файле десятичных форматов ") + kFormatSettingsFileName + " нет форматов"
              : std::string("файл десятичных форматов ") + kFormatSettingsFileName + " в текущей папке не прочитан (" +
                    inputProblemText(problem) + ")") +
         ": значения и единицы не выводятся");
}

void CliSession::sleepUntil(std::int64_t untilUs)
{
    if (env_.sleepUntil)
        env_.sleepUntil(untilUs);
    stopIfInterrupted();
}

void CliSession::stopIfInterrupted() const
{
    // The session's end then stops every output and resets the module, as on
    // any failure, and says so after it did.
    if (interrupted())
        throw CliError(ExitCode::Interrupted, "прервано");
}

std::int64_t CliSession::wallClockUs() const { return env_.wallClockUs ? env_.wallClockUs() : 0; }

void CliSession::runTicks(std::int32_t periodMs, const TickBudget& budget, const std::function<void()>& afterTick,
                          std::string_view command, const std::function<bool()>& finished)
{
    monitor_->setRefreshPeriod(periodMs);
    const std::int64_t periodUs = std::int64_t{run().refreshPeriodMs} * 1000;
    const std::int64_t start = nowUs();
    std::int64_t next = start + periodUs;
    // Requests of the run that failed, where a tick still got answers: the
    // run goes on (a cell keeps its word), and fails at its end.
    std::uint64_t sentInRun = 0, failedInRun = 0;
    std::uint32_t firstFailedTick = 0;
    std::int64_t firstFailedUs = 0;
    for (std::uint64_t done = 0;; ++done) {
        if (budget.ticks ? done >= *budget.ticks : next - start > budget.durationUs)
            break;
        sleepUntil(next);
        const std::uint64_t requests = watch_.requests();
        const std::uint64_t failures = watch_.failures();
        monitor_->refresh().Timer1Timer();
        const std::uint64_t sent = watch_.requests() - requests;
        const std::uint64_t failed = watch_.failures() - failures;
        if (sent > 0 && failed == sent)
            throw CliError(ExitCode::RequestFailed, std::string(command) + ": модуль перестал отвечать (тик " +
                                                        std::to_string(run().refreshCounter) + ")");
        if (failed > 0 && failedInRun == 0) {
            firstFailedTick = run().refreshCounter;
            firstFailedUs = nowUs() - start;
        }
        sentInRun += sent;
        failedInRun += failed;
        for (const KeptStimulus& stimulus : stimuli_)
            stimulus.afterTick();
        afterTick();
        if (finished && finished())
            break;
        // A tick that overran the period is followed at once, without a burst to catch up.
        next += periodUs;
        next = std::max(next, nowUs());
    }
    if (failedInRun > 0)
        throw CliError(ExitCode::RequestFailed,
                       std::string(command) + ": модуль перестал отвечать на тике " + std::to_string(firstFailedTick) +
                           ", через " + secondsText(static_cast<double>(firstFailedUs)) +
                           " от начала: не выполнено запросов " + std::to_string(failedInRun) + " из " +
                           std::to_string(sentInRun));
}

void CliSession::stopOutput(int channel, std::string_view command)
{
    monitor_->outputArrays().SOChange(channel - 1);
    const std::uint64_t mark = failureMark();
    monitor_->output().SOstopChannelExecute();
    cyclic_.reset(static_cast<std::size_t>(channel - 1));
    expectAnswered(mark, command);
}

void CliSession::requireNoStimulus(int channel, std::string_view command)
{
    const StimulusOwner owner = monitor_->stimuli().output().owner(static_cast<std::size_t>(channel - 1));
    if (owner != StimulusOwner::None)
        throw CliError(ExitCode::BadArgument, std::string(command) + ": выходной канал " + std::to_string(channel) +
                                                  " занят: его ведет " +
                                                  (owner == StimulusOwner::Generator ? "генератор" : "воспроизведение"));
}

void CliSession::stopStimuli()
{
    for (const KeptStimulus& stimulus : stimuli_)
        stimulus.stop();
    stimuli_.clear();
}

bool CliSession::finish()
{
    const bool hadModule = run().deviceHandle != kNoDevice;
    const std::uint64_t mark = failureMark();
    stopStimuli();
    for (std::size_t ch = 0; ch < cyclic_.size(); ++ch) {
        if (!cyclic_.test(ch))
            continue;
        monitor_->outputArrays().SOChange(static_cast<int>(ch));
        monitor_->output().SOstopChannelExecute();
    }
    cyclic_.reset();
    if (run().deviceHandle != kNoDevice)
        monitor_->lifecycle().FormClose();
    expectAnswered(mark, "завершение");
    return hadModule;
}

} // namespace telvar5::cli
