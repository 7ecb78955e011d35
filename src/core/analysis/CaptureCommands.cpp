#include "core/analysis/CaptureCommands.h"

#include "core/analysis/CaptureDialogs.h"

#include <algorithm>
#include <chrono>

#include "core/analysis/ByteSizeText.h"
#include "core/analysis/CaptureCsv.h"
#include "core/analysis/RecordingConditionText.h"
#include "core/analysis/TriggerWatch.h"
#include "formats/ReplaceFile.h"

namespace telvar5 {

namespace {

// The name of a file without its folders, as the lines show it.
std::string shortName(const std::string& utf8Path)
{
    const std::size_t slash = utf8Path.find_last_of("/\\");
    return slash == std::string::npos ? utf8Path : utf8Path.substr(slash + 1);
}

std::uint64_t captureBytes(std::uint64_t entries) { return kCaptureHeaderSize + entries * kCaptureEntrySize; }

// "12.3 с" since the start of reception, as the lines say a time.
std::string secondsText(std::int64_t us)
{
    const std::int64_t tenths = us / 100'000;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " с";
}

} // namespace

std::int64_t systemUnixUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

CaptureCommands::CaptureCommands(const RunState& run, Analysis& analysis, UserPrompts& prompts,
                                 const MonotonicClock& clock, WallClockUs wallClock)
    : run_(run),
      analysis_(analysis),
      prompts_(prompts),
      clock_(clock),
      wallClock_(std::move(wallClock)),
      recorder_(analysis.ring())
{
}

CaptureCommands::~CaptureCommands() = default;

void CaptureCommands::RecordExecute()
{
    RecordOnConditionExecute({});
}

void CaptureCommands::RecordOnConditionExecute(const RecordingTriggers& triggers)
{
    if (recorder_.recording()) {
        stopRecording();
        return;
    }
    if (startWatch_) {
        startWatch_.reset();
        setReport("Запись не начата: условие не наступило");
        return;
    }
    const auto name = prompts_.askSaveFileName({kCaptureFileFilter, ".", "tlvcap", false, "Запись принятых слов в файл"});
    if (!name)
        return;
    fileName_ = *name;
    triggers_ = triggers;
    triggeredText_.clear();
    // A recording started before any reception still needs its time zero.
    analysis_.startClock(clock_.nowUs());
    if (triggers_.start)
        startWatch_ = std::make_unique<TriggerWatch>(analysis_.ring(), run_.formats, *triggers_.start, sinceStartUs());
    else
        startRecording(std::nullopt);
}

bool CaptureCommands::startRecording(std::optional<std::uint64_t> from)
{
    const std::int64_t nowUs = clock_.nowUs();
    CaptureHeader header;
    header.serialNo = run_.deviceSerialNo;
    header.freqCodes = run_.freqCodes;
    header.refreshPeriodMs = run_.refreshPeriodMs;
    header.startUnixUs = wallClock_() - analysis_.sinceStartUs(nowUs);
    if (!recorder_.start(pathFromUtf8(fileName_), header, from)) {
        prompts_.showError(kProgramTitle, "Запись не начата: не удалось создать файл " + fileName_);
        return false;
    }
    if (triggers_.stop)
        stopWatch_ = std::make_unique<TriggerWatch>(analysis_.ring(), run_.formats, *triggers_.stop, sinceStartUs());
    return true;
}

std::string CaptureCommands::recordingText() const
{
    if (startWatch_)
        return "Запись: " + shortName(fileName_) + " · ждёт условия: " + recordingConditionText(*triggers_.start);
    if (!recorder_.recording())
        return {};
    const std::uint64_t written = recorder_.written();
    return "Запись: " + shortName(fileName_) + " · " + std::to_string(written) + " слов · " +
           byteSizeText(captureBytes(written)) + triggeredText_;
}

void CaptureCommands::setReport(std::string text)
{
    report_ = std::move(text);
    ++reportNumber_;
}

void CaptureCommands::afterTick()
{
    if (startWatch_ && startWatch_->poll(sinceStartUs())) {
        // The recording takes the words from the pre-trigger time on, the one that met the condition included.
        const std::int64_t metUs = *startWatch_->trigger().metAtUs();
        const CaptureRing& ring = analysis_.ring();
        const std::uint64_t from = std::min(*startWatch_->metEntry(), ring.firstSince(metUs - triggers_.preUs));
        startWatch_.reset();
        if (startRecording(from))
            triggeredText_ = " · с " + secondsText(metUs) + ": " + recordingConditionText(*triggers_.start);
        return;
    }
    if (recorder_.recording() && recorder_.failed()) {
        stopRecording();
        return;
    }
    if (recorder_.recording() && stopWatch_ && stopWatch_->poll(sinceStartUs()))
        stopRecording();
}

void CaptureCommands::stopRecording()
{
    const CaptureSummary summary = recorder_.stop();
    // A stop condition that ended it is named in the report.
    std::string byCondition;
    if (stopWatch_ && stopWatch_->trigger().met())
        byCondition = " по условию в " + secondsText(*stopWatch_->trigger().metAtUs()) + ": " +
                      recordingConditionText(*triggers_.stop);
    stopWatch_.reset();
    const std::string written = std::to_string(summary.written) + " слов";
    if (summary.ok)
        setReport("Запись закончена" + byCondition + ": " + written + " в файле " + shortName(fileName_) + " (" +
                  byteSizeText(captureBytes(summary.written)) + ")" +
                  (summary.lost > 0 ? ", потеряно " + std::to_string(summary.lost) + " слов" : std::string()));
    else if (summary.keptOld)
        setReport("Запись прервана: файл " + shortName(fileName_) + " оставлен прежним");
    else
        setReport("Запись прервана: в файле " + shortName(fileName_) + " " + std::to_string(summary.inFile) + " слов");
    std::string text;
    const std::string reason =
        summary.problem == WriteProblem::None ? std::string() : " (" + writeProblemText(summary.problem) + ")";
    if (!summary.ok && summary.keptOld)
        text = "Запись прервана: не удалось записать файл " + fileName_ + reason + "; он оставлен прежним.";
    else if (!summary.ok)
        text = "Запись прервана: не удалось записать файл " + fileName_ + reason + "; в нем целых записей: " +
               std::to_string(summary.inFile) + ".";
    if (summary.lost > 0)
        text += (text.empty() ? "" : " ") + std::string("Запись не успевала за приемом: потеряно ") +
                std::to_string(summary.lost) + " слов.";
    if (!text.empty())
        prompts_.showError(kProgramTitle, text);
}

void CaptureCommands::ExportCsvExecute(CsvDialect dialect)
{
    const auto capture = prompts_.askOpenFileName({kCaptureFileFilter, ".", "", false, "Экспорт CSV: файл записи"});
    if (!capture)
        return;
    const auto csv = prompts_.askSaveFileName({kCsvFileFilter, ".", "csv", false, "Экспорт CSV: таблица"});
    if (!csv)
        return;
    const CsvExportResult result = exportCaptureCsv(pathFromUtf8(*capture), pathFromUtf8(*csv), run_.formats, dialect);
    const std::string what = csvExportName(dialect);
    if (!result.written)
        setReport(what + " не выполнен: " + result.problem);
    else
        setReport(what + ": " + std::to_string(result.entries) + " строк в файле " + shortName(*csv) +
                  (result.problem.empty() ? std::string() : "; повреждение: " + result.problem));
    if (!result.written)
        prompts_.showError(kProgramTitle, "Таблица не записана: " + result.problem);
    else if (!result.problem.empty())
        prompts_.showError(kProgramTitle, result.problem + " В таблицу выписано целых записей: " +
                                              std::to_string(result.entries) + ".");
}

} // namespace telvar5
