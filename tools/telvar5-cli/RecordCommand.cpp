#include "RecordCommand.h"

#include <algorithm>

#include "CliError.h"
#include "CliSession.h"
#include "FileChecks.h"
#include "SecondsText.h"
#include "core/analysis/CaptureRecorder.h"
#include "core/analysis/RecordingConditionText.h"
#include "core/analysis/TriggerWatch.h"
#include "formats/ReplaceFile.h"

namespace telvar5::cli {

RecordCommand::RecordCommand(const OptionValues& options)
    : file_(options.requiredPath("capture")),
      budget_(options.budget()),
      periodMs_(options.periodMs()),
      channel_(options.has("channel") ? std::optional<int>(options.channel()) : std::nullopt),
      mode_(options.receptionMode()),
      start_(options.condition("start")),
      stop_(options.condition("stop")),
      preUs_(options.secondsUs("pre").value_or(0)),
      formatsFile_(options.optionalPath("formats"))
{
    if (options.has("pre") && !start_)
        options.fail("--pre указывается только с --start");
    if (options.has("mode") && !channel_)
        options.fail("--mode указывается только с --channel");
    if (file_ == "-")
        options.fail("файл записи двоичный и пишется только в файл, не в stdout ('-')");
}

void RecordCommand::checkFiles(FilePlan& plan)
{
    requireReplaceable("record", "файл записи", file_);
    plan.willWrite(file_);
    if (formatsFile_)
        requireParamFormats("record", *formatsFile_);
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
    for (const auto& condition : {start_, stop_})
        if (condition)
            session.requireInput(condition->channel, "record");
    if (formatsFile_)
        session.loadParamFormats(*formatsFile_, "record");
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

    const CaptureRing& ring = analysis.ring();
    const FormatTables& formats = session.run().formats;
    CaptureRecorder recorder(ring);
    std::optional<TriggerWatch> startWatch;
    std::optional<TriggerWatch> stopWatch;
    const auto begin = [&](std::optional<std::uint64_t> from) {
        if (!recorder.start(pathFromUtf8(file_), header, from))
            throw CliError(ExitCode::FileError, "record: не удалось создать файл записи " + file_);
        if (stop_)
            stopWatch.emplace(ring, formats, *stop_, analysis.sinceStartUs(session.nowUs()));
    };
    if (start_)
        startWatch.emplace(ring, formats, *start_, analysis.sinceStartUs(nowUs));
    else
        begin(std::nullopt);
    bool stopMet = false;
    session.runTicks(periodMs_, budget_, [&] {
        const std::int64_t sinceStartUs = analysis.sinceStartUs(session.nowUs());
        if (startWatch && !recorder.recording()) {
            if (!startWatch->poll(sinceStartUs))
                return;
            // The recording takes the words from the pre-trigger time on, the one that met the condition included.
            const std::int64_t metUs = *startWatch->trigger().metAtUs();
            begin(std::min(*startWatch->metEntry(), ring.firstSince(metUs - preUs_)));
            session.note("record: " + recordingConditionText(*start_) + " на " +
                         secondsText(static_cast<double>(metUs)) + ": запись начата");
            return;
        }
        if (recorder.failed())
            throw CliError(ExitCode::FileError, failedRecording(file_, recorder.stop()));
        if (stopWatch && stopWatch->poll(sinceStartUs)) {
            stopMet = true;
            session.note("record: " + recordingConditionText(*stop_) + " на " +
                         secondsText(static_cast<double>(*stopWatch->trigger().metAtUs())) + ": запись кончена");
        }
    }, "record", [&] { return stopMet; });
    if (start_ && !recorder.recording()) {
        if (channel_)
            session.stopReception(*channel_, "record");
        throw CliError(ExitCode::NotTriggered, "record: условие начала (" + recordingConditionText(*start_) +
                                                   ") не наступило: файл " + file_ + " не записан");
    }
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
