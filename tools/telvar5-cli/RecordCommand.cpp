#include "RecordCommand.h"

#include <algorithm>

#include "CliError.h"
#include "CliSession.h"
#include "FileChecks.h"
#include "core/analysis/CaptureRecorder.h"
#include "formats/ReplaceFile.h"

namespace telvar5::cli {

RecordCommand::RecordCommand(const OptionValues& options)
    : file_(options.requiredPath("capture")),
      budget_(options.budget()),
      periodMs_(options.periodMs()),
      channel_(options.has("channel") ? std::optional<int>(options.channel()) : std::nullopt),
      mode_(options.receptionMode())
{
    if (options.has("mode") && !channel_)
        options.fail("--mode указывается только с --channel");
    if (file_ == "-")
        options.fail("файл записи двоичный и пишется только в файл, не в stdout ('-')");
}

void RecordCommand::checkFiles(FilePlan& plan)
{
    requireReplaceable("record", "файл записи", file_);
    plan.willWrite(file_);
}

namespace {

// What a recording that failed left: the reason, and what the file holds.
std::string failedRecording(const std::string& file, const CaptureSummary& summary)
{
    const std::string reason =
        summary.problem == WriteProblem::None ? std::string() : " (" + writeProblemText(summary.problem) + ")";
    return "record: не удалось записать файл " + file + reason +
           (summary.keptOld ? "; файл оставлен прежним"
                            : "; в нем целых записей: " + std::to_string(summary.inFile));
}

} // namespace

void RecordCommand::run(CliSession& session)
{
    session.ensureInitialised("record");
    if (channel_)
        session.startReception(*channel_, mode_, "record");
    const auto& modes = session.run().receptionMode;
    if (std::all_of(modes.begin(), modes.end(), [](std::uint16_t m) { return m == kReceptionOff; }))
        throw CliError(ExitCode::BadArgument,
                       "record: ни один входной канал не принимает: укажите --channel C (receive останавливает "
                       "прием в конце)");

    // The header as the window's "Запись" writes it; the period is the one the ticks run at.
    Monitor& monitor = session.monitor();
    monitor.setRefreshPeriod(periodMs_);
    Analysis& analysis = monitor.analysis();
    const std::int64_t nowUs = session.nowUs();
    analysis.startClock(nowUs);
    CaptureHeader header;
    header.serialNo = session.run().deviceSerialNo;
    header.freqCodes = session.run().freqCodes;
    header.refreshPeriodMs = session.run().refreshPeriodMs;
    header.startUnixUs = session.wallClockUs() - analysis.sinceStartUs(nowUs);

    CaptureRecorder recorder(analysis.ring());
    if (!recorder.start(pathFromUtf8(file_), header))
        throw CliError(ExitCode::FileError, "record: не удалось создать файл записи " + file_);
    session.runTicks(periodMs_, budget_, [&] {
        if (recorder.failed())
            throw CliError(ExitCode::FileError, failedRecording(file_, recorder.stop()));
    }, "record");
    const CaptureSummary summary = recorder.stop();
    if (!summary.ok)
        throw CliError(ExitCode::FileError, failedRecording(file_, summary));
    if (channel_)
        session.stopReception(*channel_, "record");
    if (summary.lost > 0)
        throw CliError(ExitCode::RequestFailed, "record: запись не успевала за приемом: потеряно слов: " +
                                                    std::to_string(summary.lost) + ", записано: " +
                                                    std::to_string(summary.written));
    session.note("record: в файл " + file_ + " записано слов: " + std::to_string(summary.written));
}

} // namespace telvar5::cli
