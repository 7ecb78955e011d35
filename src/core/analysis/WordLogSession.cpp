#include "core/analysis/WordLogSession.h"

#include "core/analysis/CaptureDialogs.h"
#include "formats/ReplaceFile.h"

namespace telvar5 {

namespace {

std::string fileNameOf(const std::filesystem::path& file) { return utf8FromPath(file.filename()); }

// "10 000 000": counts of millions read at a glance (a no-break space between groups).
std::string grouped(std::uint64_t n)
{
    std::string digits = std::to_string(n);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), "\u00A0");
    return digits;
}

} // namespace

WordLogSession::WordLogSession(UserPrompts& prompts, const FormatTables& formats, std::size_t liveCapacity,
                               UtcOffsetOf zone)
    : prompts_(prompts), formats_(formats), zone_(std::move(zone)), live_(liveCapacity)
{
    rebuildText();
}

WordLogRows& WordLogSession::rows()
{
    if (recording_)
        return *recording_;
    return live_;
}

void WordLogSession::rebuildText()
{
    const std::int64_t start = recording_ ? recording_->startUnixUs() : live_.startUnixUs();
    text_ = std::make_unique<WordLogRowText>(formats_, start, zone_);
}

void WordLogSession::setFilter(const WordLogFilter& filter)
{
    filter_ = filter;
    live_.setFilter(filter);
    if (recording_)
        recording_->setFilter(filter);
}

std::size_t WordLogSession::follow(const CaptureRing& ring, std::optional<std::int64_t> liveStartUnixUs)
{
    if (!liveStartUnixUs_ && liveStartUnixUs) {
        liveStartUnixUs_ = liveStartUnixUs;
        live_.setStartUnixUs(*liveStartUnixUs);
        if (!recording_)
            rebuildText();
    }
    // A recording shown or a pause: the ring is read on later, from where the log left it.
    if (paused_ || recording_)
        return 0;
    return live_.follow(ring);
}

void WordLogSession::OpenRecordingExecute()
{
    const auto name = prompts_.askOpenFileName({kCaptureFileFilter, ".", "", false, "Поток слов: файл записи"});
    if (name)
        openRecording(pathFromUtf8(*name));
}

bool WordLogSession::openRecording(const std::filesystem::path& file)
{
    auto opened = std::make_unique<WordLogFileView>();
    if (!opened->open(file)) {
        setReport("Не удалось открыть запись " + fileNameOf(file) + ". " + opened->problem(), true);
        return false;
    }
    opened->setFilter(filter_);
    recording_ = std::move(opened);
    recordingName_ = fileNameOf(file);
    rebuildText();
    // A damaged file shows its whole entries, and says what is wrong with the rest.
    if (recording_->problem().empty())
        setReport({}, false);
    else
        setReport("Запись " + recordingName_ + " повреждена. " + recording_->problem(), true);
    return true;
}

void WordLogSession::showLive()
{
    recording_.reset();
    recordingName_.clear();
    rebuildText();
    setReport({}, false);
}

std::uint64_t WordLogSession::scan(std::uint64_t entries)
{
    return recording_ ? recording_->advance(entries) : 0;
}

void WordLogSession::ExportCsvExecute(CsvDialect dialect)
{
    const std::string what = csvExportName(dialect);
    const auto csv = prompts_.askSaveFileName({kCsvFileFilter, ".", "csv", false, "Поток слов: " + what});
    if (!csv)
        return;
    const CsvExportResult result = exportWordLogCsv(rows(), pathFromUtf8(*csv), formats_, dialect, {}, zone_);
    const std::string name = fileNameOf(pathFromUtf8(*csv));
    if (!result.written)
        setReport(what + " не выполнен: " + result.problem, true);
    else
        setReport(what + ": " + grouped(result.entries) + " строк в файле " + name, false);
}

std::string WordLogSession::statusText() const
{
    const WordLogRows& shown = recording_ ? static_cast<const WordLogRows&>(*recording_) : live_;
    std::string text;
    if (recording_) {
        text = "Запись " + recordingName_ + ": " + grouped(shown.rowCount()) + " строк из " +
               grouped(recording_->entryCount()) + " записей";
        if (!recording_->scanComplete() && recording_->entryCount() > 0)
            text += " · просмотрено " + std::to_string(recording_->scanned() * 100 / recording_->entryCount()) + " %";
        return text;
    }
    text = "Поток слов: " + grouped(shown.rowCount()) + " строк из " + grouped(live_.entryCount()) + " слов";
    if (paused_)
        text += " · пауза";
    if (live_.wordsDropped() > 0)
        text += " · хранятся не больше " + grouped(live_.capacity()) + " последних слов";
    if (live_.lost() > 0)
        text += " · пропущено " + grouped(live_.lost()) + " слов: кольцо записи переписало их до показа";
    return text;
}

void WordLogSession::setReport(std::string text, bool failed)
{
    report_ = std::move(text);
    reportFailed_ = failed;
}

} // namespace telvar5
