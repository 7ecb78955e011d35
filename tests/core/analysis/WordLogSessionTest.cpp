// "Поток слов" without its window: following the ring, pausing, a recording
// shown in place of the live log, and the exports and failures the user is told of.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/FakePrompts.h"
#include "core/analysis/WordLogSession.h"
#include "formats/FormatTestSupport.h"
#include "formats/ReplaceFile.h"

namespace telvar5 {
namespace {

std::vector<std::uint8_t> recordingOf(std::uint32_t entries)
{
    const CaptureHeaderBytes h = encodeCaptureHeader(CaptureHeader{});
    std::vector<std::uint8_t> bytes(h.begin(), h.end());
    for (std::uint32_t n = 0; n < entries; ++n) {
        const CaptureEntryBytes e = encodeCaptureEntry({n * 1000, n, n % 2 ? 0x0083u : 0x0084u, 1, 0});
        bytes.insert(bytes.end(), e.begin(), e.end());
    }
    return bytes;
}

std::size_t linesOf(const std::filesystem::path& file)
{
    std::ifstream in(file);
    return static_cast<std::size_t>(std::count(std::istreambuf_iterator<char>(in), {}, '\n'));
}

TEST(WordLogSession, FollowsPausesShowsARecordingAndExportsWhatIsShown)
{
    test::ScratchDir dir;
    test::FakePrompts prompts;
    const FormatTables formats;
    WordLogSession session(prompts, formats, 1000, [](std::int64_t) { return 0; });
    CaptureRing ring(64);
    const auto tick = [&ring](std::int64_t t) {
        ring.push({t, 0, 0x0083, 1, 0});
        ring.push({t, 0, 0x0084, 2, 0});
        ring.publish();
    };

    tick(10);
    EXPECT_EQ(session.follow(ring, 1'000'000), 2u);
    EXPECT_EQ(session.rows().startUnixUs(), 1'000'000);
    EXPECT_EQ(session.follow(ring, 5'000'000), 0u); // time zero's wall clock stays for the run
    EXPECT_EQ(session.rows().startUnixUs(), 1'000'000);
    session.setPaused(true);
    tick(20);
    EXPECT_EQ(session.follow(ring, std::nullopt), 0u);
    EXPECT_NE(session.statusText().find("пауза"), std::string::npos);
    session.setPaused(false);
    EXPECT_EQ(session.follow(ring, std::nullopt), 2u); // what came while paused
    WordLogFilter channel2;
    channel2.setChannels(0b10);
    session.setFilter(channel2);
    EXPECT_EQ(session.rows().rowCount(), 2u);

    // A file that is no recording leaves the live log shown, and says why.
    test::writeBytes(dir / "bad.tlvcap", {'n', 'o'});
    prompts.fileToOpen = utf8FromPath(dir / "bad.tlvcap");
    session.OpenRecordingExecute();
    EXPECT_EQ(session.source(), WordLogSession::Source::Live);
    EXPECT_TRUE(session.reportIsFailure());
    EXPECT_NE(session.report().find("bad.tlvcap"), std::string::npos);

    // A recording takes the filter in force; the live log goes on behind it.
    test::writeBytes(dir / "rec.tlvcap", recordingOf(100));
    ASSERT_TRUE(session.openRecording(dir / "rec.tlvcap"));
    EXPECT_FALSE(session.reportIsFailure());
    WordLogFilter label203;
    label203.setLabels("203");
    session.setFilter(label203);
    while (!session.scanComplete())
        session.scan(7);
    EXPECT_EQ(session.rows().rowCount(), 50u);
    EXPECT_EQ(session.statusText(), "Запись rec.tlvcap: 50 строк из 100 записей");
    tick(30);
    EXPECT_EQ(session.follow(ring, std::nullopt), 0u);

    prompts.fileToSave = utf8FromPath(dir / "rows.csv");
    session.ExportCsvExecute(CsvDialect::Plain);
    EXPECT_FALSE(session.reportIsFailure()) << session.report();
    EXPECT_EQ(linesOf(dir / "rows.csv"), 51u); // the title line and the rows shown
    // A folder in the file's place: refused, said as a failure, the folder kept.
    std::filesystem::create_directory(dir / "folder.csv");
    prompts.fileToSave = utf8FromPath(dir / "folder.csv");
    session.ExportCsvExecute(CsvDialect::Excel);
    EXPECT_TRUE(session.reportIsFailure());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.csv"));

    session.showLive();
    EXPECT_EQ(session.source(), WordLogSession::Source::Live);
    EXPECT_EQ(session.follow(ring, std::nullopt), 2u); // tick 30, read on from where the log left the ring
    EXPECT_EQ(session.rows().rowCount(), 3u);          // label 203 of ticks 10, 20 and 30
}

} // namespace
} // namespace telvar5
