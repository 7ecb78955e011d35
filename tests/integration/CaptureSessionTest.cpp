// The capture of a scripted session on the real virtual driver: output 1 sends
// a four-word array cyclically onto input 1, which receives by address. Every
// stored word is captured with its channel, cell, tick and time, and a
// recording holds exactly the entries captured while it ran.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "core/analysis/CaptureFile.h"
#include "core/analysis/RecordingConditionText.h"
#include "support/VirtualModuleMonitor.h"

using namespace telvar5;

namespace {

constexpr std::int64_t kPeriodUs = 100'000;
constexpr std::int64_t kStartUs = 5'000'000;

class CaptureSession : public ::testing::Test, protected test::VirtualModuleMonitor {
protected:
    CaptureSession() : VirtualModuleMonitor(kStartUs) {}

    void SetUp() override
    {
        ASSERT_TRUE(chooseModule());
        monitor->lifecycle().DeviceInitializationExecute();
        monitor->reception().SIChange(0);
        monitor->outputArrays().SOChange(0);
        monitor->outputArrays().SOdataTestExecute(); // word k has label k
        monitor->outputArrays().cbSOArrayDimChange(3);
        monitor->reception().SIaddressPuskExecute();
        monitor->output().SOciclePuskExecute();
    }

    void tick()
    {
        clock->advanceUs(kPeriodUs);
        monitor->refresh().Timer1Timer();
    }

    std::vector<CaptureEntry> captured(std::uint64_t from = 0) const
    {
        const CaptureRing& ring = monitor->analysis().ring();
        std::vector<CaptureEntry> out;
        for (std::uint64_t n = from; n < ring.head(); ++n)
            out.push_back(ring.at(n));
        return out;
    }
};

TEST_F(CaptureSession, EveryStoredWordIsCapturedWithItsCellTickAndTime)
{
    for (int i = 0; i < 3; ++i)
        tick();
    const std::vector<CaptureEntry> entries = captured();
    ASSERT_EQ(entries.size(), 12u) << "four labels in each of three ticks";
    const auto& words = monitor->run().outputRecord[0].words;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::uint32_t tick = static_cast<std::uint32_t>(i / 4 + 1);
        const std::size_t label = i % 4;
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i].channel, 1);
        EXPECT_EQ(entries[i].cell, label) << "address reception stores a word in the cell of its label";
        EXPECT_EQ(entries[i].word, words[label]);
        EXPECT_EQ(entries[i].tick, tick);
        EXPECT_EQ(entries[i].timeUs, static_cast<std::int64_t>(tick) * kPeriodUs)
            << "time since the start of reception";
    }
    EXPECT_EQ(monitor->analysis().statistics().count(0, 2), 3u);
}

TEST_F(CaptureSession, ARecordingHoldsExactlyWhatWasCapturedWhileItRan)
{
    tick();
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "capture-session-test.tlvcap";
    std::filesystem::remove(file);
    prompts.fileToSave = file.string();
    const std::uint64_t from = monitor->analysis().ring().head();
    monitor->capture().RecordExecute();
    ASSERT_TRUE(monitor->capture().recording());
    EXPECT_EQ(monitor->capture().recordingText().rfind("Запись: capture-session-test.tlvcap · ", 0), 0u)
        << monitor->capture().recordingText();
    tick();
    tick();
    monitor->capture().RecordExecute();
    EXPECT_FALSE(monitor->capture().recording());
    EXPECT_TRUE(prompts.errors.empty());
    EXPECT_EQ(monitor->capture().recordingText(), "");
    EXPECT_EQ(monitor->capture().report(), "Запись закончена: 8 слов в файле capture-session-test.tlvcap (224 Б)");

    const CaptureFileContents contents = readCaptureFile(file);
    EXPECT_TRUE(contents.problem.empty()) << contents.problem;
    EXPECT_EQ(contents.header.serialNo, 1021u);
    EXPECT_EQ(contents.header.refreshPeriodMs, monitor->run().refreshPeriodMs);
    EXPECT_EQ(contents.header.freqCodes, monitor->run().freqCodes);
    const std::vector<CaptureEntry> expected = captured(from);
    ASSERT_EQ(contents.entries.size(), 8u);
    ASSERT_EQ(expected.size(), 8u);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(contents.entries[i].timeUs, expected[i].timeUs);
        EXPECT_EQ(contents.entries[i].tick, expected[i].tick);
        EXPECT_EQ(contents.entries[i].word, expected[i].word);
        EXPECT_EQ(contents.entries[i].channel, expected[i].channel);
        EXPECT_EQ(contents.entries[i].cell, expected[i].cell);
    }

    // The export tells its rows and the damage it found in one line, beside the box it shows.
    const std::filesystem::path csv = std::filesystem::temp_directory_path() / "capture-session-test.csv";
    prompts.fileToOpen = file.string();
    prompts.fileToSave = csv.string();
    monitor->capture().ExportCsvExecute();
    EXPECT_EQ(monitor->capture().report(), "Экспорт CSV: 8 строк в файле capture-session-test.csv");
    std::filesystem::resize_file(file, std::filesystem::file_size(file) - 7);
    const unsigned before = monitor->capture().reportNumber();
    monitor->capture().ExportCsvExecute();
    EXPECT_EQ(monitor->capture().reportNumber(), before + 1);
    EXPECT_EQ(monitor->capture().report().rfind("Экспорт CSV: 7 строк в файле capture-session-test.csv; повреждение: ", 0),
              0u) << monitor->capture().report();
    std::filesystem::remove(csv);
    std::filesystem::remove(file);
}

TEST_F(CaptureSession, ARecordingWaitsForItsConditionAndBeginsWithThePreTrigger)
{
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "capture-trigger-test.tlvcap";
    std::filesystem::remove(file);
    prompts.fileToSave = file.string();
    CaptureCommands& capture = monitor->capture();
    const auto tickAndFollow = [&] {
        tick();
        capture.afterTick();
    };
    const RecordingTriggers triggers{parseRecordingCondition("arrive:1:002"),
                                     parseRecordingCondition("absent:1:007:150"), 150'000};

    // Given up while waiting: nothing is written.
    capture.RecordOnConditionExecute(triggers);
    ASSERT_TRUE(capture.waiting());
    capture.RecordExecute();
    EXPECT_FALSE(capture.waiting());
    EXPECT_FALSE(std::filesystem::exists(file));

    tickAndFollow();
    tickAndFollow(); // 0.2 s
    capture.RecordOnConditionExecute(triggers);
    EXPECT_EQ(capture.recordingText(), "Запись: capture-trigger-test.tlvcap · ждёт условия: пришла метка 002 канала 1");
    EXPECT_FALSE(capture.recording());
    tickAndFollow(); // 0.3 s: label 2 arrives, and the recording begins with the tick of 0.2 s
    ASSERT_TRUE(capture.recording());
    EXPECT_TRUE(capture.recordingText().ends_with(" · с 0.3 с: пришла метка 002 канала 1")) << capture.recordingText();
    tickAndFollow();
    EXPECT_TRUE(capture.recording());
    tickAndFollow(); // 0.5 s: label 7 has been absent for 0.2 s since the start
    EXPECT_FALSE(capture.recording());
    EXPECT_EQ(capture.report().rfind("Запись закончена по условию в 0.5 с: метка 007 канала 1 не приходит дольше "
                                     "150 мс: 16 слов в файле capture-trigger-test.tlvcap",
                                     0),
              0u)
        << capture.report();
    EXPECT_TRUE(prompts.errors.empty());

    const CaptureFileContents contents = readCaptureFile(file);
    ASSERT_EQ(contents.entries.size(), 16u);
    EXPECT_EQ(contents.entries.front().timeUs, 2 * kPeriodUs);
    EXPECT_EQ(contents.entries.back().timeUs, 5 * kPeriodUs);
    std::filesystem::remove(file);
}

} // namespace
