#include "core/analysis/CaptureCsv.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "core/analysis/CaptureFile.h"
#include "formats/ArincWord.h"
#include "formats/CsvField.h"
#include "formats/DecimalText.h"
#include "formats/LabelFormats.h"
#include "formats/ReplacingFile.h"

namespace telvar5 {

namespace {

constexpr std::size_t kChannels = 8;
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;
// Room for the longest line: numbers, a value of -FLT_MAX (48 characters) and
// eight bytes of units that may each become three of UTF-8, every one a doubled
// quote, and the wall-clock time.
constexpr std::size_t kLineRoom = 512 + LocalTimeText::kRoom;

constexpr std::string_view kHeaderFields[] = {"time_us", "tick", "channel", "cell", "label",
                                               "word", "ssm", "value", "units", "wall_time"};
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The characters that set one dialect apart from the other.
struct CsvStyle {
    char separator;
    char decimalPoint;

    static CsvStyle of(CsvDialect dialect)
    {
        return dialect == CsvDialect::Excel ? CsvStyle{';', ','} : CsvStyle{',', '.'};
    }
};

// The decimal formats in force on every input channel, with their units as CSV fields.
class ChannelFormats {
public:
    ChannelFormats(const FormatTables& formats, char separator)
    {
        for (std::size_t ch = 0; ch < kChannels; ++ch) {
            buildLabelFormats(tables_[ch], formats, static_cast<std::uint16_t>(ch + 1));
            for (std::size_t label = 0; label < 256; ++label) {
                const DecimalFormat& format = tables_[ch][label];
                if (format.tagEmpty())
                    continue;
                units_[ch][label] = csvField(unitsUtf8(format), separator);
            }
        }
    }

    // The format of a label on channel number channelNo, or null (no format, or a channel outside 1..8).
    const DecimalFormat* format(std::uint8_t channelNo, std::uint32_t label) const
    {
        if (channelNo < 1 || channelNo > kChannels)
            return nullptr;
        const DecimalFormat& f = tables_[channelNo - 1][label & 0xFFu];
        return f.tagEmpty() ? nullptr : &f;
    }
    const std::string& units(std::uint8_t channelNo, std::uint32_t label) const
    {
        return units_[channelNo - 1][label & 0xFFu];
    }

private:
    std::array<LabelFormatTable, kChannels> tables_;
    std::array<std::array<std::string, 256>, kChannels> units_;
};

template <typename T>
char* putNumber(char* p, T value)
{
    return std::to_chars(p, p + 24, value).ptr;
}

// The wall clock of each entry, from the start of the capture or of the log.
struct EntryClock {
    std::int64_t startUnixUs;
    const LocalTimeText& text;
};

// One CSV line at p (at most kLineRoom bytes); returns its end.
char* putLine(char* p, const CaptureEntry& e, const ChannelFormats& formats, CsvStyle style, const EntryClock& clock)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    const char sep = style.separator;
    p = putNumber(p, static_cast<std::uint64_t>(e.timeUs)); // as the file holds it: u64
    *p++ = sep;
    p = putNumber(p, e.tick);
    *p++ = sep;
    p = putNumber(p, unsigned{e.channel});
    *p++ = sep;
    p = putNumber(p, unsigned{e.cell});
    *p++ = sep;
    const std::uint32_t label = wordLabel(e.word);
    *p++ = static_cast<char>('0' + (label >> 6));
    *p++ = static_cast<char>('0' + (label >> 3 & 7));
    *p++ = static_cast<char>('0' + (label & 7));
    *p++ = sep;
    for (int shift = 28; shift >= 0; shift -= 4)
        *p++ = kHex[e.word >> shift & 0xFu];
    *p++ = sep;
    *p++ = static_cast<char>('0' + wordSsm(e.word));
    *p++ = sep;
    if (const DecimalFormat* format = formats.format(e.channel, label)) {
        char* const value = p;
        p = putSignedValue(p, decimalValue(e.word, *format));
        if (style.decimalPoint != '.')
            std::replace(value, p, '.', style.decimalPoint);
        *p++ = sep;
        const std::string& units = formats.units(e.channel, label);
        p = std::copy(units.begin(), units.end(), p);
    } else {
        *p++ = sep;
    }
    *p++ = sep;
    p = clock.text.put(p, wallClockOfEntryUs(clock.startUnixUs, static_cast<std::uint64_t>(e.timeUs)));
    *p++ = '\n';
    return p;
}

} // namespace

namespace {

enum class TableEnd : std::uint8_t { Whole, WriteFailed, Interrupted, EntryUnreadable };

// Writes the table of `count` entries in pieces through `write`, asking
// `interrupted` before each. entryAt(i) gives entry i, or null when it cannot
// be read; the table then ends there.
template <typename EntryAt>
TableEnd writeCsvTable(std::uint64_t count, EntryAt&& entryAt, std::int64_t startUnixUs, const FormatTables& formats,
                       CsvDialect dialect, const std::function<bool(std::string_view)>& write,
                       const std::function<bool()>& interrupted, const UtcOffsetOf& zone)
{
    const LocalTimeText timeText(zone);
    const EntryClock clock{startUnixUs, timeText};
    const CsvStyle style = CsvStyle::of(dialect);
    const auto channelFormats = std::make_unique<ChannelFormats>(formats, style.separator);
    std::vector<char> chunk(kChunkBytes + kLineRoom);
    char* p = chunk.data();
    if (dialect == CsvDialect::Excel)
        p = std::copy(kByteOrderMark.begin(), kByteOrderMark.end(), p);
    for (const std::string_view field : kHeaderFields) {
        p = std::copy(field.begin(), field.end(), p);
        *p++ = field == kHeaderFields[std::size(kHeaderFields) - 1] ? '\n' : style.separator;
    }
    const auto pieceDone = [&] {
        if (interrupted && interrupted())
            return TableEnd::Interrupted;
        const bool wrote = write(std::string_view(chunk.data(), static_cast<std::size_t>(p - chunk.data())));
        p = chunk.data();
        return wrote ? TableEnd::Whole : TableEnd::WriteFailed;
    };
    for (std::uint64_t i = 0; i < count; ++i) {
        const CaptureEntry* entry = entryAt(i);
        if (!entry)
            return TableEnd::EntryUnreadable;
        p = putLine(p, *entry, *channelFormats, style, clock);
        if (static_cast<std::size_t>(p - chunk.data()) >= kChunkBytes) {
            if (const TableEnd end = pieceDone(); end != TableEnd::Whole)
                return end;
        }
    }
    return pieceDone();
}

TableEnd writeCaptureTable(const CaptureFileContents& contents, const FormatTables& formats, CsvDialect dialect,
                           const std::function<bool(std::string_view)>& write,
                           const std::function<bool()>& interrupted, const UtcOffsetOf& zone)
{
    const auto entryAt = [&contents](std::uint64_t i) { return &contents.entries[static_cast<std::size_t>(i)]; };
    return writeCsvTable(contents.entries.size(), entryAt, contents.header.startUnixUs, formats, dialect, write,
                         interrupted, zone);
}

// Why the CSV file cannot be created, for the user.
std::string createProblem(WriteProblem problem)
{
    return "Не удалось создать файл CSV: " + writeProblemText(problem) + ".";
}

// Refused before any work: a device or a pipe never becomes a file.
bool refused(const std::filesystem::path& csv, CsvExportResult& result)
{
    const WriteProblem refusal = replacementRefusal(csv);
    if (refusal != WriteProblem::None)
        result.problem = createProblem(refusal);
    return refusal != WriteProblem::None;
}

// Puts the table that `table` writes under the CSV's name, only when whole:
// interrupted or with an entry unreadable nothing is left there, an existing
// file stays as it was. True when the file is complete.
template <typename Table>
bool writeCsvFile(const std::filesystem::path& csv, Table&& table, CsvExportResult& result, TableEnd& end)
{
    ReplacingFile out(csv);
    if (!out.ok()) {
        result.problem = createProblem(out.problem());
        return false;
    }
    end = table([&out](std::string_view text) { return out.write(text); });
    if (end == TableEnd::Interrupted || end == TableEnd::EntryUnreadable) {
        result.interrupted = end == TableEnd::Interrupted;
        out.abandon();
        return false;
    }
    if (!out.commit()) { // a write that failed fails here
        result.problem = "Не удалось записать файл CSV: " + writeProblemText(out.problem()) + ".";
        return false;
    }
    return true;
}

void noMemory(CsvExportResult& result, const char* what)
{
    result.written = false;
    result.entries = 0;
    result.problem = "Не удалось экспортировать " + std::string(what) + " в CSV: не хватает памяти.";
}

} // namespace

CsvExportResult exportCaptureCsv(const std::filesystem::path& capture, const std::filesystem::path& csv,
                                 const FormatTables& formats, CsvDialect dialect,
                                 const std::function<bool()>& interrupted, const UtcOffsetOf& zone)
{
    CsvExportResult result;
    try {
        if (refused(csv, result))
            return result;
        const CaptureFileContents contents = readCaptureFile(capture);
        result.problem = contents.problem;
        if (!contents.headerValid)
            return result;
        const auto table = [&](const std::function<bool(std::string_view)>& write) {
            return writeCaptureTable(contents, formats, dialect, write, interrupted, zone);
        };
        TableEnd end = TableEnd::Whole;
        if (!writeCsvFile(csv, table, result, end))
            return result;
        result.written = true;
        result.entries = contents.entries.size();
    } catch (...) {
        noMemory(result, "запись");
    }
    return result;
}

CsvExportResult exportCaptureCsv(const std::filesystem::path& capture, std::ostream& csv, const FormatTables& formats,
                                 CsvDialect dialect, const std::function<bool()>& interrupted, const UtcOffsetOf& zone)
{
    CsvExportResult result;
    try {
        const CaptureFileContents contents = readCaptureFile(capture);
        result.problem = contents.problem;
        if (!contents.headerValid)
            return result;
        const auto write = [&csv, &result](std::string_view text) {
            errno = 0;
            csv.write(text.data(), static_cast<std::streamsize>(text.size()));
            csv.flush();
            result.streamError = csv ? 0 : errno;
            return static_cast<bool>(csv);
        };
        if (const TableEnd end = writeCaptureTable(contents, formats, dialect, write, interrupted, zone);
            end != TableEnd::Whole) {
            result.interrupted = end == TableEnd::Interrupted;
            if (!result.interrupted)
                result.problem = "Не удалось записать таблицу CSV.";
            return result;
        }
        result.written = true;
        result.entries = contents.entries.size();
    } catch (...) {
        noMemory(result, "запись");
    }
    return result;
}

CsvExportResult exportWordLogCsv(WordLogRows& rows, const std::filesystem::path& csv, const FormatTables& formats,
                                 CsvDialect dialect, const std::function<bool()>& interrupted, const UtcOffsetOf& zone)
{
    CsvExportResult result;
    try {
        if (refused(csv, result))
            return result;
        const std::uint64_t count = rows.rowCount(); // rows arriving during the export wait for the next one
        WordLogEntry row;
        std::uint64_t unreadable = 0;
        const auto entryAt = [&](std::uint64_t i) -> const CaptureEntry* {
            if (rows.row(i, row))
                return &row.entry;
            unreadable = i;
            return nullptr;
        };
        const auto table = [&](const std::function<bool(std::string_view)>& write) {
            return writeCsvTable(count, entryAt, rows.startUnixUs(), formats, dialect, write, interrupted, zone);
        };
        TableEnd end = TableEnd::Whole;
        if (!writeCsvFile(csv, table, result, end)) {
            if (end == TableEnd::EntryUnreadable)
                result.problem = "Не удалось экспортировать строки в CSV: строка " + std::to_string(unreadable + 1) +
                    " из " + std::to_string(count) + " не читается (файл записи стал короче); файл CSV не записан.";
            return result;
        }
        result.written = true;
        result.entries = count;
    } catch (...) {
        noMemory(result, "строки");
    }
    return result;
}

} // namespace telvar5
