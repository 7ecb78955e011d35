#pragma once
// What the "Поток слов" window shows and does, without the window: the live
// log following the capture ring, or a recording opened in its place; the
// filter over either; pausing; opening a recording and exporting the rows
// shown; and the line that says what the rows are.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/UserPrompts.h"
#include "core/analysis/CaptureCsv.h"
#include "core/analysis/CaptureRing.h"
#include "core/analysis/WordLog.h"
#include "core/analysis/WordLogFileView.h"
#include "core/analysis/WordLogRowText.h"

namespace telvar5 {

class WordLogSession {
public:
    enum class Source : std::uint8_t { Live, Recording };

    WordLogSession(UserPrompts& prompts, const FormatTables& formats, std::size_t liveCapacity = kDefaultWordLogCapacity,
                   UtcOffsetOf zone = systemUtcOffset);

    Source source() const { return recording_ ? Source::Recording : Source::Live; }
    WordLogRows& rows();
    const WordLogRowText& text() const { return *text_; }
    const WordLogFilter& filter() const { return filter_; }
    // Applies to the live log and to a recording alike.
    void setFilter(const WordLogFilter& filter);
    // The formats in force changed: values and units are shown through the new ones.
    void formatsChanged() { rebuildText(); }

    // Live: appends the ring's new words unless paused or a recording is shown;
    // returns how many. Time zero's wall clock is given once the capture's
    // clock has started (it stays for the run).
    std::size_t follow(const CaptureRing& ring, std::optional<std::int64_t> liveStartUnixUs);
    // Paused, the live log takes no word: what is shown stands still until it goes on.
    void setPaused(bool paused) { paused_ = paused; }
    bool paused() const { return paused_; }
    // Rows that left the front of the live log since its filter was set.
    std::uint64_t rowsDropped() const { return recording_ ? 0 : live_.rowsDropped(); }

    // "Открыть запись…": asks for a file and opens it.
    void OpenRecordingExecute();
    // Opens a recording in place of what is shown; a file that cannot be read
    // leaves the window as it was and says why.
    bool openRecording(const std::filesystem::path& file);
    // The file name of the recording shown (UTF-8), empty while live.
    const std::string& recordingName() const { return recordingName_; }
    // Back to the live log, as it was left.
    void showLive();
    // Reads on through the recording (for a narrower filter's rows and the
    // intervals), at most `entries` of it; returns how many were read.
    std::uint64_t scan(std::uint64_t entries);
    bool scanComplete() const { return !recording_ || recording_->scanComplete(); }

    // "Экспорт CSV…": the rows shown, in the chosen form.
    void ExportCsvExecute(CsvDialect dialect);

    // What the rows are: "Поток слов: 1 234 строк …" or the recording's name, size and damage.
    std::string statusText() const;
    // The last command's outcome, for the user (empty: none yet); `failed` when it did not do what was asked.
    const std::string& report() const { return report_; }
    bool reportIsFailure() const { return reportFailed_; }

private:
    void rebuildText();
    void setReport(std::string text, bool failed);

    UserPrompts& prompts_;
    const FormatTables& formats_;
    UtcOffsetOf zone_;
    WordLog live_;
    std::optional<std::int64_t> liveStartUnixUs_;
    std::unique_ptr<WordLogFileView> recording_;
    std::string recordingName_;
    WordLogFilter filter_;
    std::unique_ptr<WordLogRowText> text_;
    bool paused_ = false;
    std::string report_;
    bool reportFailed_ = false;
};

} // namespace telvar5
