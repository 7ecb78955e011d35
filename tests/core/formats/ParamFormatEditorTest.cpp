// The parameter formats editor's rules: label and channel typing, the tag
// copied by a double click, delete, the files and the rebuild at closing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/Monitor.h"
#include "support/FakeBus.h"
#include "support/FakePrompts.h"

using namespace telvar5;
namespace fs = std::filesystem;

namespace {

class ParamFormatEditorTest : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("telvar5-si-" + std::to_string(::getpid()));
    test::FakeBus bus;
    test::FakePrompts prompts;
    std::unique_ptr<Monitor> monitor;

    void SetUp() override
    {
        fs::remove_all(dir);
        fs::create_directories(dir);
        monitor = std::make_unique<Monitor>(bus, prompts);
        DecimalFormat& alt = tables().formatTable[0];
        alt.setTag("ALT");
        alt.setMsbBit(28);
        alt.setLsbBit(12);
        alt.setMsbWeight(65536.0f);
        alt.setUnits("ft");
        tables().formatCount = 1;
        editor().FormShow();
    }
    void TearDown() override { fs::remove_all(dir); }
    ParamFormatEditor& editor() { return monitor->paramFormats(); }
    FormatTables& tables() { return monitor->run().formats; }
    ParamFormatEntry& entry(int i) { return tables().paramFormatTable[static_cast<std::size_t>(i)]; }
    void put(int i, int label, int channel, const char* tag)
    {
        entry(i).setLabel(static_cast<std::uint8_t>(label));
        entry(i).setChannel(static_cast<std::uint8_t>(channel));
        entry(i).setFormatTag(tag);
    }
};

} // namespace

TEST_F(ParamFormatEditorTest, LabelAndChannelTakeTheirDigitsAndLimits)
{
    struct Case {
        const char* what;
        int column;
        char key;           // the last key
        const char* text;   // the editor's text after it
        int label, channel; // the record afterwards (from label 0o10, channel 2)
        int beeps;
    };
    constexpr char kCtrlV = 22;
    const Case cases[] = {
        {"octal label", 0, '7', "207", 0207, 2, 0},
        {"8 is no octal digit", 0, '8', "8", 010, 2, 1},
        {"9 neither", 0, '9', "9", 010, 2, 1},
        {"pasted 777 is above 377", 0, kCtrlV, "777", 0377, 2, 1},
        {"four digits are too long", 0, '1', "1001", 010, 2, 1},
        {"label 0 is taken, the compaction drops it", 0, '0', "0", 0, 2, 0},
        {"channel 5", 1, '5', "5", 010, 5, 0},
        {"channel key 0", 1, '0', "0", 010, 2, 1},
        {"channel key 9", 1, '9', "9", 010, 2, 1},
        {"pasted 9 becomes 8", 1, kCtrlV, "9", 010, 8, 1},
        {"pasted 0 becomes 1", 1, kCtrlV, "0", 010, 1, 1},
        {"two characters are too long", 1, '1', "11", 010, 2, 1},
        {"the tag takes no typing", 2, 'A', "A", 010, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        put(0, 010, 2, "ALT");
        prompts.beeps = 0;
        prompts.refusals.clear();
        editor().DrawGrid2KeyPress(c.key);
        editor().DrawGrid2SetEditText(c.column, 1, c.text);
        EXPECT_EQ(entry(0).label(), c.label);
        EXPECT_EQ(entry(0).channel(), c.channel);
        EXPECT_EQ(entry(0).formatTag(), "ALT");
        EXPECT_EQ(prompts.beeps, c.beeps);
        EXPECT_EQ(prompts.refusals.size(), static_cast<std::size_t>(c.beeps)) << "every beep shows its reason";
    }
}

TEST_F(ParamFormatEditorTest, ADoubleClickCopiesTheTagWithinItsField)
{
    put(0, 0203, 1, "");
    editor().DrawGrid1MouseDown(-1, -1);
    EXPECT_FALSE(editor().DrawGrid1DblClick(1, 1)) << "the last press was outside the cells";
    editor().DrawGrid1MouseDown(0, 1);
    ASSERT_TRUE(editor().DrawGrid1DblClick(1, 1));
    EXPECT_EQ(entry(0).formatTag(), "ALT");
    EXPECT_TRUE(editor().tagKnown(entry(0)));

    // A damaged tag without its zero byte is cut to 8 bytes; the label and channel stay.
    std::fill_n(tables().formatTable[1].bytes.begin(), DecimalFormat::kTagSize, std::uint8_t{'Z'});
    put(1, 0204, 3, "");
    entry(2).setLabel(0x55); // the byte after entry 1's tag field
    ASSERT_TRUE(editor().DrawGrid1DblClick(2, 2));
    EXPECT_EQ(entry(1).formatTag(), "ZZZZZZZZ");
    EXPECT_EQ(entry(1).label(), 0204);
    EXPECT_EQ(entry(2).label(), 0x55);
    EXPECT_FALSE(editor().tagKnown(entry(1))) << "no format is tagged so: drawn red";
}

TEST_F(ParamFormatEditorTest, DeleteDropsEveryIncompleteRowAndCloseRebuildsTheShownChannel)
{
    put(0, 0203, 1, "ALT");
    put(1, 0204, 0, "ALT"); // no channel
    put(2, 0205, 1, "ALT");
    put(3, 0, 1, "ALT");    // no label
    put(4, 0206, 2, "ALT");
    tables().paramFormatCount = 5;
    editor().FormShow();
    editor().btDeleteClick(3);
    EXPECT_EQ(tables().paramFormatCount, 2);
    EXPECT_EQ(editor().paramRowCount(), 3);
    EXPECT_EQ(entry(1).label(), 0206);

    monitor->run().curInputNo = 2;
    editor().FormClose();
    EXPECT_EQ(monitor->run().labelFormatTable[0206].tag(), "ALT");
    EXPECT_TRUE(monitor->run().labelFormatTable[0203].tagEmpty()) << "channel 1 is not shown";
}

TEST_F(ParamFormatEditorTest, FilesRestoreOverTheTableAndSaveCompacted)
{
    for (int i = 0; i < 5; ++i)
        put(i, 0201 + i, 1, "ALT");
    tables().paramFormatCount = 5;
    editor().FormShow();
    const fs::path two = dir / "two.si";
    {
        std::ofstream out(two, std::ios::binary);
        out.write("\x83\x02" "ALT\0\0\0\0\0\0" "\x84\x03" "XYZ\0\0\0\0\0\0", 22);
    }
    ASSERT_TRUE(editor().FileOpen1Accept(two.string()));
    EXPECT_EQ(tables().paramFormatCount, 2);
    EXPECT_EQ(editor().paramRowCount(), 3);
    ASSERT_TRUE(editor().btAddClick());
    EXPECT_EQ(entry(2).label(), 0203) << "the old third record shows again";
    EXPECT_EQ(entry(2).channel(), 0);

    const fs::path saved = dir / "saved.si";
    ASSERT_TRUE(editor().FileSaveAs1Accept(saved.string()));
    EXPECT_EQ(fs::file_size(saved), 22u) << "the row without a channel is not saved";
    EXPECT_EQ(editor().paramRowCount(), 3);

    EXPECT_FALSE(editor().FileOpen1Accept((dir / "missing.si").string()));
    EXPECT_EQ(tables().paramFormatCount, 2);
    EXPECT_FALSE(editor().FileSaveAs1Accept((dir / "no-such-folder" / "x.si").string()));
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_NE(prompts.errors[0].find("Форматы параметров не сохранены"), std::string::npos);

    prompts.fileToSave = (dir / "via-dialog.si").string();
    editor().FileSaveAs1Execute();
    ASSERT_EQ(prompts.dialogs.size(), 1u);
    EXPECT_EQ(prompts.dialogs[0].filter, kParamFormatsFilter);
    EXPECT_EQ(prompts.dialogs[0].defaultExt, "si");
    EXPECT_TRUE(fs::exists(dir / "via-dialog.si"));
}
