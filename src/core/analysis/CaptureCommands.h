#pragma once
// The menu commands of the capture: "Запись" starts writing the capture into
// a file the user names and stops it; "Экспорт CSV" turns a capture file into
// a table through the formats in force. Problems reach the user in one box.
#include <cstdint>
#include <functional>

#include "core/MonotonicClock.h"
#include "core/RunState.h"
#include "core/UserPrompts.h"
#include "core/analysis/Analysis.h"
#include "core/analysis/CaptureCsv.h"
#include "core/analysis/CaptureRecorder.h"

namespace telvar5 {

// Wall-clock time, Unix epoch, microseconds: the capture file's start time.
using WallClockUs = std::function<std::int64_t()>;
std::int64_t systemUnixUs();

class CaptureCommands {
public:
    CaptureCommands(const RunState& run, Analysis& analysis, UserPrompts& prompts, const MonotonicClock& clock,
                    WallClockUs wallClock = systemUnixUs);

    // Starts a recording into a file chosen in the save dialog, or stops the one in progress.
    void RecordExecute();
    bool recording() const { return recorder_.recording(); }
    // After each tick: a recording whose file stopped taking data ends here, with a box.
    void afterTick();
    // "Экспорт CSV", or "Экспорт CSV для Excel" with the Excel dialect.
    void ExportCsvExecute(CsvDialect dialect = CsvDialect::Plain);

    const CaptureRecorder& recorder() const { return recorder_; }

    // While a recording runs: "Запись: <file> · <entries> слов · <size>", for a
    // line the user sees at all times; empty otherwise.
    std::string recordingText() const;
    // The one line that tells how the last recording or CSV export ended (the
    // boxes still report failures); reportNumber() grows with every new one.
    const std::string& report() const { return report_; }
    unsigned reportNumber() const { return reportNumber_; }

private:
    void stopRecording();
    void setReport(std::string text);

    const RunState& run_;
    Analysis& analysis_;
    UserPrompts& prompts_;
    const MonotonicClock& clock_;
    WallClockUs wallClock_;
    CaptureRecorder recorder_;
    std::string fileName_; // UTF-8, for the messages
    std::string report_;
    unsigned reportNumber_ = 0;
};

} // namespace telvar5
