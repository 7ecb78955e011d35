#pragma once
// The menu commands of the capture: "Запись" starts writing the capture into
// a file the user names and stops it; "Экспорт CSV" turns a capture file into
// a table through the formats in force. Problems reach the user in one box.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "core/MonotonicClock.h"
#include "core/RunState.h"
#include "core/UserPrompts.h"
#include "core/analysis/Analysis.h"
#include "core/analysis/CaptureCsv.h"
#include "core/analysis/CaptureRecorder.h"
#include "core/analysis/RecordingCondition.h"

namespace telvar5 {

// Wall-clock time, Unix epoch, microseconds: the capture file's start time.
using WallClockUs = std::function<std::int64_t()>;
std::int64_t systemUnixUs();

class TriggerWatch;

// What starts and stops a recording besides the command itself.
struct RecordingTriggers {
    std::optional<RecordingCondition> start; // none: at once
    std::optional<RecordingCondition> stop;  // none: at the command
    std::int64_t preUs = 0;                  // the recording begins this long before its start condition
};

class CaptureCommands {
public:
    CaptureCommands(const RunState& run, Analysis& analysis, UserPrompts& prompts, const MonotonicClock& clock,
                    WallClockUs wallClock = systemUnixUs);
    ~CaptureCommands();

    // Starts a recording into a file chosen in the save dialog, or stops the one in progress.
    void RecordExecute();
    // As RecordExecute, the recording waiting for its start condition and ending at its stop condition.
    void RecordOnConditionExecute(const RecordingTriggers& triggers);
    bool recording() const { return recorder_.recording(); }
    // Armed, its start condition not met yet; RecordExecute gives up waiting.
    bool waiting() const { return startWatch_ != nullptr; }
    // After each tick: a condition met starts or stops the recording; a recording
    // whose file stopped taking data ends here, with a box.
    void afterTick();
    // "Экспорт CSV", or "Экспорт CSV для Excel" with the Excel dialect.
    void ExportCsvExecute(CsvDialect dialect = CsvDialect::Plain);

    const CaptureRecorder& recorder() const { return recorder_; }

    // While a recording runs: "Запись: <file> · <entries> слов · <size>", for a
    // line the user sees at all times, with the time and condition that started
    // it; while it waits, "Запись: <file> · ждёт условия: <condition>"; empty otherwise.
    std::string recordingText() const;
    // The one line that tells how the last recording or CSV export ended (the
    // boxes still report failures); reportNumber() grows with every new one.
    const std::string& report() const { return report_; }
    unsigned reportNumber() const { return reportNumber_; }

private:
    // Starts writing into fileName_, from entry `from` on when given; false, with a box, when it could not.
    bool startRecording(std::optional<std::uint64_t> from);
    void stopRecording();
    std::int64_t sinceStartUs() const { return analysis_.sinceStartUs(clock_.nowUs()); }
    void setReport(std::string text);

    const RunState& run_;
    Analysis& analysis_;
    UserPrompts& prompts_;
    const MonotonicClock& clock_;
    WallClockUs wallClock_;
    CaptureRecorder recorder_;
    std::string fileName_; // UTF-8, for the messages
    RecordingTriggers triggers_;
    std::unique_ptr<TriggerWatch> startWatch_;
    std::unique_ptr<TriggerWatch> stopWatch_;
    std::string triggeredText_; // " · с <time>: <condition>" of a recording its condition started
    std::string report_;
    unsigned reportNumber_ = 0;
};

} // namespace telvar5
