// The CSV export of a capture file and of the word log's rows, byte for byte,
// and what each does with damaged input.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "core/analysis/CaptureCsv.h"
#include "core/analysis/CaptureFile.h"
#include "core/analysis/WordLog.h"
#include "formats/FormatTestSupport.h"

namespace telvar5 {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Label 203 decodes on channels 1 and 2 through different formats; channel 3 has none.
// Bits 28..17 carry the value, bit 29 its sign: a field of 25 is 12.5 (ALT) or 25 (SPD).
std::unique_ptr<FormatTables> formats()
{
    auto tables = std::make_unique<FormatTables>();
    tables->formatTable[0] = test::makeFormat("ALT", 0, 28, 17, 1024.0f, "\xF4\xF2 "); // "фт " in Windows-1251
    tables->formatTable[1] = test::makeFormat("SPD", 0, 28, 17, 2048.0f, "m,s");
    tables->formatCount = 2;
    tables->paramFormatTable[0] = test::makeParam(0203, 1, "ALT");
    tables->paramFormatTable[1] = test::makeParam(0203, 2, "SPD");
    tables->paramFormatCount = 2;
    return tables;
}

const std::vector<CaptureEntry> kEntries = {
    {0, 1, 0x00190083, 1, 131},
    {1500, 2, 0x1FE70083, 1, 131},          // negative: two's complement of 25
    {1500, 2, 0x60190083, 2, 5},            // SSM 3, the other format
    {4294967296123, 3, 0xFFFFFF01, 3, 255}, // label 001: no format
    {7, 4, 0x00190083, 0, 0},               // a damaged channel number: no format either
};

// The capture started at 2026-12-08 11:03:05 UTC; the export is asked for a zone three hours east.
constexpr std::int64_t kStartUnixUs = 1796727785000000;
const UtcOffsetOf kZone = [](std::int64_t) { return 3 * 3600; };

const std::string kCsv = "time_us,tick,channel,cell,label,word,ssm,value,units,wall_time\n"
                         "0,1,1,131,203,00190083,0,+12.500000,фт,2026-12-08T14:03:05.000+03:00\n"
                         "1500,2,1,131,203,1FE70083,0,-12.500000,фт,2026-12-08T14:03:05.002+03:00\n"
                         "1500,2,2,5,203,60190083,3,+25.000000,\"m,s\",2026-12-08T14:03:05.002+03:00\n"
                         "4294967296123,3,3,255,001,FFFFFF01,3,,,2027-01-27T07:05:52.296+03:00\n"
                         "7,4,0,0,203,00190083,0,,,2026-12-08T14:03:05.000+03:00\n";
// For Excel with Russian settings: a byte-order mark, ";" between fields, "," in the values;
// a comma in the units needs no quotes there.
const std::string kExcelCsv = "\xEF\xBB\xBFtime_us;tick;channel;cell;label;word;ssm;value;units;wall_time\n"
                              "0;1;1;131;203;00190083;0;+12,500000;фт;2026-12-08T14:03:05.000+03:00\n"
                              "1500;2;1;131;203;1FE70083;0;-12,500000;фт;2026-12-08T14:03:05.002+03:00\n"
                              "1500;2;2;5;203;60190083;3;+25,000000;m,s;2026-12-08T14:03:05.002+03:00\n"
                              "4294967296123;3;3;255;001;FFFFFF01;3;;;2027-01-27T07:05:52.296+03:00\n"
                              "7;4;0;0;203;00190083;0;;;2026-12-08T14:03:05.000+03:00\n";

Bytes captureBytes()
{
    CaptureHeader start;
    start.startUnixUs = kStartUnixUs;
    const CaptureHeaderBytes header = encodeCaptureHeader(start);
    Bytes bytes(header.begin(), header.end());
    for (const CaptureEntry& e : kEntries) {
        const CaptureEntryBytes b = encodeCaptureEntry(e);
        bytes.insert(bytes.end(), b.begin(), b.end());
    }
    return bytes;
}

std::string text(const fs::path& file)
{
    const Bytes bytes = test::readBytes(file);
    return std::string(bytes.begin(), bytes.end());
}

class CaptureCsvTest : public ::testing::Test {
protected:
    test::ScratchDir dir;
    fs::path capture = dir / "run.tlv";
    fs::path csv = dir / "run.csv";
    std::unique_ptr<FormatTables> tables = formats();
};

TEST_F(CaptureCsvTest, EveryEntryBecomesALineWithTheValueThroughItsChannelsFormat)
{
    test::writeBytes(capture, captureBytes());
    for (const auto& [dialect, expected] : {std::pair{CsvDialect::Plain, kCsv}, std::pair{CsvDialect::Excel, kExcelCsv}}) {
        test::writeBytes(csv, {'o', 'l', 'd'});
        const CsvExportResult result = exportCaptureCsv(capture, csv, *tables, dialect, {}, kZone);
        EXPECT_TRUE(result.written);
        EXPECT_EQ(result.entries, kEntries.size());
        EXPECT_EQ(result.problem, "");
        EXPECT_EQ(text(csv), expected);
    }
}

TEST_F(CaptureCsvTest, ACutCaptureExportsItsCompleteEntriesAndSaysWhatIsMissing)
{
    Bytes bytes = captureBytes();
    bytes.resize(bytes.size() - 3);
    test::writeBytes(capture, bytes);
    const CsvExportResult result = exportCaptureCsv(capture, csv, *tables, CsvDialect::Plain, {}, kZone);
    EXPECT_TRUE(result.written);
    EXPECT_EQ(result.entries, kEntries.size() - 1);
    EXPECT_NE(result.problem.find("4 целых"), std::string::npos) << result.problem;
    EXPECT_EQ(text(csv), kCsv.substr(0, kCsv.rfind("7,4,")));
}

TEST_F(CaptureCsvTest, NothingIsWrittenFromAForeignFileOrIntoAPlaceThatCannotHoldIt)
{
    Bytes foreign = captureBytes();
    foreign[0] = 'X';
    test::writeBytes(capture, foreign);
    test::writeBytes(csv, {'o', 'l', 'd'});
    CsvExportResult result = exportCaptureCsv(capture, csv, *tables);
    EXPECT_FALSE(result.written);
    EXPECT_NE(result.problem.find("TLV5CAP"), std::string::npos) << result.problem;
    EXPECT_EQ(text(csv), "old");

    test::writeBytes(capture, captureBytes());
    for (const fs::path& target : {dir / "missing" / "run.csv", dir.path()}) {
        result = exportCaptureCsv(capture, target, *tables);
        EXPECT_FALSE(result.written) << target;
        EXPECT_NE(result.problem.find("CSV"), std::string::npos) << result.problem;
    }
    EXPECT_FALSE(exportCaptureCsv(dir / "none.tlv", csv, *tables).written);
    EXPECT_EQ(text(csv), "old");
}

// The header and the lines of entries `kept` of a whole-capture table.
std::string keptLines(const std::string& table, const std::vector<std::size_t>& kept)
{
    std::istringstream in(table);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line + "\n");
    std::string out = lines.at(0);
    for (const std::size_t i : kept)
        out += lines.at(i + 1);
    return out;
}

// The live log's rows as the window reads them: whoever holds the rows.
class LogRows : public ::testing::Test {
protected:
    LogRows()
    {
        log.setStartUnixUs(kStartUnixUs);
        for (const CaptureEntry& e : kEntries)
            log.append(e);
    }
    test::ScratchDir dir;
    fs::path csv = dir / "log.csv";
    std::unique_ptr<FormatTables> tables = formats();
    WordLog log;
};

TEST_F(LogRows, TheFilteredRowsExportAsTheCapturesLinesOfTheWordsTheyKeep)
{
    WordLogFilter byLabel, bySsm, byChannel, none;
    byLabel.setLabels("203");
    bySsm.setSsm(0b1000);
    byChannel.setChannels(0b1);
    const struct {
        const char* name;
        WordLogFilter filter;
        std::vector<std::size_t> kept; // entries of kEntries
    } cases[] = {
        {"all", none, {0, 1, 2, 3, 4}},
        {"label 203", byLabel, {0, 1, 2, 4}},
        {"SSM 3", bySsm, {2, 3}},
        {"channel 1: the damaged channel 0 goes too", byChannel, {0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WordLogRows& rows = log;
        rows.setFilter(c.filter);
        for (const auto& [dialect, whole] :
             {std::pair{CsvDialect::Plain, kCsv}, std::pair{CsvDialect::Excel, kExcelCsv}}) {
            const CsvExportResult result = exportWordLogCsv(rows, csv, *tables, dialect, {}, kZone);
            EXPECT_TRUE(result.written);
            EXPECT_EQ(result.entries, c.kept.size());
            EXPECT_EQ(result.problem, "");
            EXPECT_EQ(text(csv), keptLines(whole, c.kept));
        }
    }
}

// A recording that shrank after it was opened: rows from `readable` on cannot be read.
class ShrunkRows : public WordLogRows {
public:
    ShrunkRows(WordLog& log, std::uint64_t readable) : log_(log), readable_(readable) {}
    std::int64_t startUnixUs() const override { return log_.startUnixUs(); }
    void setFilter(const WordLogFilter& filter) override { log_.setFilter(filter); }
    const WordLogFilter& filter() const override { return log_.filter(); }
    std::uint64_t rowCount() const override { return log_.rowCount(); }
    bool row(std::uint64_t row, WordLogEntry& out) override { return row < readable_ && log_.row(row, out); }
    std::optional<std::uint64_t> findNext(std::uint64_t fromRow,
                                          const std::function<bool(const CaptureEntry&)>& wanted) override
    {
        return log_.findNext(fromRow, wanted);
    }

private:
    WordLog& log_;
    std::uint64_t readable_;
};

TEST_F(LogRows, ARowThatCannotBeReadLeavesNoFileAndAnOldOneAsItWas)
{
    ShrunkRows shrunk(log, 3);
    for (const bool old : {false, true}) {
        SCOPED_TRACE(old ? "over an old file" : "new");
        fs::remove(csv);
        if (old)
            test::writeBytes(csv, {'o', 'l', 'd'});
        const CsvExportResult result = exportWordLogCsv(shrunk, csv, *tables, CsvDialect::Plain, {}, kZone);
        EXPECT_FALSE(result.written);
        EXPECT_NE(result.problem.find("строка 4 из 5 не читается"), std::string::npos) << result.problem;
        if (old) {
            EXPECT_EQ(text(csv), "old");
        } else {
            EXPECT_FALSE(fs::exists(csv));
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), old ? 1 : 0)
            << "no temporary left beside it";
    }
    EXPECT_FALSE(exportWordLogCsv(log, dir.path(), *tables).written) << "a folder is never replaced";
}

} // namespace
} // namespace telvar5
