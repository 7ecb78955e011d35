// The recording: entries pushed through a real capture ring end up in the file
// the reader reads back; an existing file is replaced only when the recording stops.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <chrono>
#include <csignal>
#include <thread>

#include "core/analysis/CaptureRecorder.h"
#include "formats/FormatTestSupport.h"

namespace telvar5 {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Entry n carries time n * 50 and word n * 7919.
CaptureEntry entryNo(std::uint64_t n)
{
    return {static_cast<std::int64_t>(n * 50), static_cast<std::uint32_t>(n / 10), static_cast<std::uint32_t>(n * 7919),
            static_cast<std::uint8_t>(1 + n % 8), static_cast<std::uint8_t>(n % 256)};
}

// Pushes entries first..first+count-1 in ticks of ten, each tick published.
void pushTicks(CaptureRing& ring, std::uint64_t first, std::uint64_t count)
{
    for (std::uint64_t n = first; n < first + count; ++n) {
        ring.push(entryNo(n));
        if (n % 10 == 9)
            ring.publish();
    }
    ring.publish();
}

// The file holds entries first..first+count-1 of the run, in order.
void expectEntries(const CaptureFileContents& got, std::uint64_t first, std::size_t count)
{
    ASSERT_EQ(got.entries.size(), count);
    for (std::size_t i = 0; i < count; ++i) {
        const CaptureEntry want = entryNo(first + i);
        ASSERT_EQ(got.entries[i].timeUs, want.timeUs) << i;
        ASSERT_EQ(got.entries[i].word, want.word) << i;
        ASSERT_EQ(got.entries[i].channel, want.channel) << i;
        ASSERT_EQ(got.entries[i].cell, want.cell) << i;
    }
}

// Waits, without judging how long it takes, until the writer thread got somewhere.
template <typename Condition>
void waitFor(Condition condition)
{
    for (int i = 0; i < 3000 && !condition(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(condition());
}

class CaptureRecorderTest : public ::testing::Test {
protected:
    test::ScratchDir dir;
    fs::path file = dir / "run.tlv";
    CaptureRing ring{1 << 12};
    CaptureHeader header{0xBEEF, {1, 2, 3}, 50, 1765000000000000};
    const Bytes old = {'o', 'l', 'd'};

    std::size_t files() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}));
    }
};

TEST_F(CaptureRecorderTest, WritesEveryEntryPublishedWhileRecordingOnly)
{
    pushTicks(ring, 0, 25); // before the start: not recorded
    CaptureRecorder recorder(ring);
    ASSERT_TRUE(recorder.start(file, header));
    EXPECT_TRUE(recorder.recording());
    EXPECT_FALSE(recorder.start(dir / "second.tlv", header)) << "one recording at a time";
    pushTicks(ring, 25, 1500);
    waitFor([&] { return recorder.written() >= 1000; }); // the ticks go on while the writer writes
    pushTicks(ring, 1525, 1500);

    const CaptureSummary summary = recorder.stop();
    EXPECT_TRUE(summary.ok);
    EXPECT_EQ(summary.written, 3000u);
    EXPECT_EQ(summary.lost, 0u);
    EXPECT_FALSE(recorder.recording());
    const CaptureFileContents got = readCaptureFile(file);
    EXPECT_EQ(got.problem, "");
    EXPECT_EQ(got.header, header);
    expectEntries(got, 25, 3000);
    EXPECT_EQ(files(), 1u);

    for (const fs::path& target : {dir / "missing" / "run.tlv", dir.path()}) {
        EXPECT_FALSE(recorder.start(target, header)) << target;
        EXPECT_FALSE(recorder.recording());
    }
}

TEST_F(CaptureRecorderTest, APreTriggerStartsWithTheEntriesBeforeTheStart)
{
    pushTicks(ring, 0, 100);
    CaptureRecorder recorder(ring);
    // Entry n has time n * 50: the last 1.5 ms before the start are entries 70..99.
    ASSERT_TRUE(recorder.start(file, header, ring.firstSince(ring.at(99).timeUs - 1450)));
    pushTicks(ring, 100, 20);
    const CaptureSummary summary = recorder.stop();
    EXPECT_TRUE(summary.ok);
    EXPECT_EQ(summary.lost, 0u);
    expectEntries(readCaptureFile(file), 70, 50);
}

TEST_F(CaptureRecorderTest, EntriesTheRingOverwroteAreCountedLostAndTheRestKeepTheirOrder)
{
    CaptureRing small(64);
    CaptureRecorder recorder(small);
    ASSERT_TRUE(recorder.start(file, header));
    pushTicks(small, 0, 200000);
    const CaptureSummary summary = recorder.stop();
    ASSERT_TRUE(summary.ok);
    EXPECT_EQ(summary.written + summary.lost, 200000u);

    const CaptureFileContents got = readCaptureFile(file);
    ASSERT_EQ(got.entries.size(), summary.written);
    std::int64_t last = -1;
    for (const CaptureEntry& e : got.entries) {
        ASSERT_GT(e.timeUs, last);
        ASSERT_EQ(e.word, static_cast<std::uint32_t>(e.timeUs / 50 * 7919));
        last = e.timeUs;
    }
}

TEST_F(CaptureRecorderTest, AnExistingFileStaysAsItWasUntilTheRecordingStops)
{
    test::writeBytes(file, old);
    CaptureRecorder recorder(ring);
    ASSERT_TRUE(recorder.start(file, header));
    pushTicks(ring, 0, 100);
    waitFor([&] { return recorder.written() == 100; });
    EXPECT_EQ(test::readBytes(file), old);
    EXPECT_EQ(files(), 2u) << "the recording goes to a file beside it";

    EXPECT_TRUE(recorder.stop().ok);
    expectEntries(readCaptureFile(file), 0, 100);
    EXPECT_EQ(files(), 1u);
}

// A full disk, as a file size limit of 1000 bytes: the header and 46.8 entries fit.
TEST_F(CaptureRecorderTest, AFailedWriteStopsTheRecordingAndKeepsWhatTheUserHad)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no file size limit to stand in for a full disk";
#else
    for (const bool existing : {false, true}) {
        SCOPED_TRACE(existing ? "replacing a file" : "a new file");
        fs::remove(file);
        if (existing)
            test::writeBytes(file, old);
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 1000;
        ::setrlimit(RLIMIT_FSIZE, &small);

        CaptureRecorder recorder(ring);
        const bool started = recorder.start(file, header);
        const std::uint64_t first = ring.head();
        pushTicks(ring, first, 100);
        if (started)
            waitFor([&] { return recorder.failed(); });
        const CaptureSummary summary = recorder.stop();
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        ASSERT_TRUE(started);
        EXPECT_FALSE(summary.ok);
        EXPECT_EQ(summary.inFile, existing ? 0u : 46u) << "what the file holds, not what reached its buffer";
        EXPECT_EQ(summary.keptOld, existing);
        EXPECT_EQ(summary.problem, WriteProblem::DiskFull);
        EXPECT_EQ(files(), 1u) << "no temporary file left";
        if (existing) {
            EXPECT_EQ(test::readBytes(file), old);
        } else {
            const CaptureFileContents got = readCaptureFile(file);
            expectEntries(got, first, 46);
            EXPECT_NE(got.problem.find("46 целых"), std::string::npos) << got.problem;
        }
    }
#endif
}

} // namespace
} // namespace telvar5
