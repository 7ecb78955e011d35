// The decimal formats editor's rules: typed text judged by the last key, the
// bit-number limits and ties, the drop-down, delete and close.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>

#include "core/Monitor.h"
#include "support/FakeBus.h"
#include "support/FakePrompts.h"

using namespace telvar5;
namespace fs = std::filesystem;

namespace {

constexpr char kBackspace = 8;

// Runs in a folder of its own: closing the editor writes TLV5frmt.stt there.
class FormatListEditorTest : public ::testing::Test {
protected:
    fs::path oldDir = fs::current_path();
    fs::path dir = fs::temp_directory_path() / ("telvar5-fmt-" + std::to_string(::getpid()));
    test::FakeBus bus;
    test::FakePrompts prompts;
    std::unique_ptr<Monitor> monitor;

    void SetUp() override
    {
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::current_path(dir);
        monitor = std::make_unique<Monitor>(bus, prompts);
        editor().FormShow();
    }
    void TearDown() override
    {
        fs::current_path(oldDir);
        fs::remove_all(dir);
    }
    FormatListEditor& editor() { return monitor->formatList(); }
    FormatTables& tables() { return monitor->run().formats; }
    DecimalFormat& record(int i) { return tables().formatTable[static_cast<std::size_t>(i)]; }
    // Types key by key into the cell of row 1, the editor opening empty; returns the beeps after each key.
    std::vector<int> type(int column, const std::string& keys)
    {
        std::string text;
        std::vector<int> beeps;
        prompts.beeps = 0;
        prompts.refusals.clear();
        for (char key : keys) {
            editor().DrawGrid1KeyPress(key);
            key == kBackspace ? text.pop_back() : text.push_back(key);
            editor().DrawGrid1SetEditText(column, 1, text);
            beeps.push_back(prompts.beeps);
        }
        EXPECT_EQ(prompts.refusals.size(), static_cast<std::size_t>(prompts.beeps)) << "every beep shows its reason";
        return beeps;
    }
    void fill(int i, const char* tag, int msb, int lsb, float weight, const char* units)
    {
        record(i).setTag(tag);
        record(i).setMsbBit(static_cast<std::uint8_t>(msb));
        record(i).setLsbBit(static_cast<std::uint8_t>(lsb));
        record(i).setMsbWeight(weight);
        record(i).setUnits(units);
    }
};

} // namespace

TEST_F(FormatListEditorTest, BitNumbersAreLimitedAndTiedToEachOther)
{
    struct Case {
        const char* what;
        int bit29IsData, msb, lsb; // the row before typing
        int column;
        std::string keys;
        int msbAfter, lsbAfter;
        std::vector<int> beeps;
    };
    const Case cases[] = {
        {"5 gives 9 without a beep", 0, 0, 0, 2, "5", 9, 0, {0}},
        {"a minus sign, then 5 counts as large", 0, 0, 0, 2, "-5", 28, 0, {1, 3}},
        {"the same with bit 29 as data", 1, 0, 0, 2, "-5", 29, 0, {1, 2}},
        {"a third digit is too long", 1, 0, 0, 2, "123", 12, 0, {0, 0, 1}},
        {"29 while bit 29 is the sign", 0, 0, 0, 2, "29", 28, 0, {0, 1}},
        {"29 while bit 29 is data", 1, 0, 0, 2, "29", 29, 0, {0, 0}},
        {"msb below lsb takes lsb", 0, 20, 15, 2, "12", 15, 15, {1, 2}},
        {"lsb before msb on a new row", 0, 0, 0, 3, "12", 0, 0, {1, 2}},
        {"lsb within msb", 0, 28, 0, 3, "11", 28, 11, {0, 0}},
        {"erasing to nothing", 0, 28, 0, 2, std::string("1") + kBackspace, 9, 0, {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        record(0) = DecimalFormat{};
        record(0).setBit29IsData(static_cast<std::uint8_t>(c.bit29IsData));
        record(0).setMsbBit(static_cast<std::uint8_t>(c.msb));
        record(0).setLsbBit(static_cast<std::uint8_t>(c.lsb));
        EXPECT_EQ(type(c.column, c.keys), c.beeps);
        EXPECT_EQ(record(0).msbBit(), c.msbAfter);
        EXPECT_EQ(record(0).lsbBit(), c.lsbAfter);
    }
}

TEST_F(FormatListEditorTest, WeightTagAndUnitsTakeWhatFitsTheirRules)
{
    EXPECT_EQ(type(FormatListEditor::MsbWeight, "0.5"), (std::vector<int>{0, 1, 1}));
    EXPECT_EQ(record(0).msbWeight(), 0.5f) << "the point is refused, then read with the 5";
    EXPECT_EQ(type(FormatListEditor::MsbWeight, "x"), (std::vector<int>{1}));
    EXPECT_EQ(record(0).msbWeight(), 0.5f);

    EXPECT_EQ(type(FormatListEditor::Tag, "ABCDEFGHI"), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(record(0).tag(), "ABCDEFGH");
    EXPECT_EQ(type(FormatListEditor::Units, "\xEC/\xF1\xE5\xEA\xF3"), (std::vector<int>(6, 0))); // "м/секу"
    EXPECT_EQ(type(FormatListEditor::Units, "1234567"), (std::vector<int>{0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(record(0).units(), "123456");
    EXPECT_FALSE(editor().DrawGrid1SetEditText(FormatListEditor::Bit29, 1, "1")) << "bit 29 takes no text";
}

TEST_F(FormatListEditorTest, TheDropDownSetsBit29AndLowersMsbFrom29)
{
    record(0).setBit29IsData(1);
    record(0).setMsbBit(29);
    record(0).setLsbBit(29);
    EXPECT_EQ(editor().DrawGrid1MouseDown(1, 1, 1), 1);
    EXPECT_EQ(editor().DrawGrid1MouseDown(1, 0, 1), 1) << "over the title: the current row's choice";
    EXPECT_EQ(editor().DrawGrid1MouseDown(2, 1, 1), std::nullopt);
    EXPECT_EQ(editor().DrawGrid1MouseDown(-1, -1, 1), std::nullopt);
    ASSERT_TRUE(editor().ComboBox1Change(1, 0));
    EXPECT_EQ(record(0).bit29IsData(), 0);
    EXPECT_EQ(record(0).msbBit(), 28) << "even though lsbBit is now above it";
    EXPECT_EQ(record(0).lsbBit(), 29);
    EXPECT_FALSE(editor().ComboBox1Change(0, 1)) << "the title row is no record";
}

TEST_F(FormatListEditorTest, DeleteAndCloseKeepOnlyCompleteRowsAndWriteThem)
{
    fill(0, "A", 28, 11, 90.0f, "grad");
    fill(1, "B", 28, 11, 0.0f, "V"); // no weight: incomplete
    fill(2, "C", 28, 11, 1.0f, "V");
    fill(3, "D", 28, 11, 1.0f, "V");
    tables().formatCount = 4;
    editor().FormShow();
    ASSERT_TRUE(editor().btAddClick()); // a fifth, empty row
    EXPECT_EQ(editor().rowCount(), 6);
    editor().btDeleteClick(3); // "C"
    EXPECT_EQ(tables().formatCount, 2);
    EXPECT_EQ(editor().rowCount(), 3);
    EXPECT_EQ(record(0).tag(), "A");
    EXPECT_EQ(record(1).tag(), "D");

    editor().FormClose();
    EXPECT_EQ(fs::file_size(dir / "TLV5frmt.stt"), 48u);
    editor().FormShow();
    editor().btDeleteClick(1);
    editor().btDeleteClick(1);
    EXPECT_EQ(editor().rowCount(), 2) << "one empty data row is left";
    editor().FormClose();
    EXPECT_EQ(fs::file_size(dir / "TLV5frmt.stt"), 0u);
    EXPECT_TRUE(prompts.errors.empty());

    for (int i = 0; i < 300; ++i)
        editor().btAddClick();
    EXPECT_EQ(editor().rowCount(), FormatListEditor::kMaxRows);
}

TEST_F(FormatListEditorTest, ClosingShowsTheEditsOnTheShownInputChannelAtOnce)
{
    struct Case {
        const char* what;
        std::function<void()> edit;
        int label;           // on the shown channel 2
        float weightAfter;   // 0: the label has no format any more
    };
    const Case cases[] = {
        {"a weight typed", [this] { type(FormatListEditor::MsbWeight, "45"); }, 0203, 45.0f},
        {"a format deleted", [this] { editor().btDeleteClick(2); }, 0204, 0.0f},
        {"a format left alone", [] {}, 0204, 2.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fill(0, "ALT", 28, 11, 90.0f, "ft");
        fill(1, "SPD", 28, 11, 2.0f, "kt");
        tables().formatCount = 2;
        const std::pair<int, const char*> params[] = {{0203, "ALT"}, {0204, "SPD"}};
        for (std::size_t i = 0; i < 2; ++i) {
            ParamFormatEntry& param = tables().paramFormatTable[i];
            param.setLabel(static_cast<std::uint8_t>(params[i].first));
            param.setChannel(2);
            param.setFormatTag(params[i].second);
        }
        tables().paramFormatCount = 2;
        monitor->reception().SIChange(1);
        editor().FormShow();
        c.edit();
        editor().FormClose();
        const DecimalFormat& shown = monitor->run().labelFormatTable[static_cast<std::size_t>(c.label)];
        EXPECT_EQ(shown.tagEmpty() ? 0.0f : shown.msbWeight(), c.weightAfter);
    }
}

TEST_F(FormatListEditorTest, AFailedWriteKeepsTheOldFileAndSaysSo)
{
    fill(0, "OLD", 28, 11, 1.0f, "V");
    tables().formatCount = 1;
    editor().FormClose();
    const auto before = fs::file_size(dir / "TLV5frmt.stt");
    // The temporary file cannot be made: its name is taken by a folder.
    for (int i = 0; i < 100; ++i)
        fs::create_directory(dir / ("TLV5frmt.stt.tmp" + std::to_string(i)));
    fill(1, "NEW", 28, 11, 1.0f, "V");
    editor().FormShow();
    editor().btAddClick();
    editor().FormClose();
    EXPECT_EQ(fs::file_size(dir / "TLV5frmt.stt"), before);
    ASSERT_EQ(prompts.errors.size(), 1u);
    // The program's line first, then the full path and the reason.
    EXPECT_EQ(prompts.errors[0], "Десятичные форматы не сохранены: не удалось записать файл TLV5frmt.stt\n" +
                                     fs::absolute(dir / "TLV5frmt.stt").string() + "\nПричина: ошибка записи");
    EXPECT_EQ(tables().formatCount, 2) << "the table keeps the edits, as compacted";
}

TEST_F(FormatListEditorTest, CellsShowTheFieldsAsDrawn)
{
    fill(0, "ALT", 28, 12, 65536.0f, "\xF4\xF3\xF2"); // "фут"
    record(0).setBit29IsData(1);
    const std::vector<std::string> expected{"ALT", "\xE4\xE0\xED\xED\xFB\xE5", "     28", "     12",
                                            " 65536.000000", "\xF4\xF3\xF2"};
    CellText text;
    for (int column = 0; column < FormatListEditor::kColumns; ++column) {
        FormatListEditor::cellText(record(0), column, text);
        EXPECT_EQ(text.view(), expected[static_cast<std::size_t>(column)]) << column;
    }
    record(0).setBit29IsData(0);
    record(0).setMsbWeight(std::numeric_limits<float>::max());
    FormatListEditor::cellText(record(0), FormatListEditor::Bit29, text);
    EXPECT_EQ(text.view(), "\xE7\xED\xE0\xEA");
    FormatListEditor::cellText(record(0), FormatListEditor::MsbWeight, text);
    EXPECT_EQ(text.view().substr(0, 5), " 3402");
    EXPECT_EQ(text.view().substr(text.size() - 7), ".000000");
}
