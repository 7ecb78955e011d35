// The generator's rows in their text file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/stimulus/GeneratorFile.h"

namespace telvar5 {
namespace {

GeneratorRow row(int channel, std::uint8_t label, std::string tag, std::uint8_t ssm, const char* waveform)
{
    return {channel, label, std::move(tag), ssm, *parseWaveform(waveform)};
}

TEST(GeneratorFileTest, RowsReadBackAsTheyWereWritten)
{
    const std::vector<GeneratorRow> rows = {
        row(1, 0203, "ALT", 3, "ramp 0 40000 60 repeat"),
        row(1, 0206, "\xC2\xE7\xEB\xB8\xF2", 0, "sine 250 50 30"), // "Взлёт" in Windows-1251
        row(8, 0, "a \"b\\", 2, "walk -1 1 0.5 7"),                // blanks, a quote and a backslash
        row(2, 0377, "X", 1, "step 1 2 3"),
    };
    const std::string text = generatorText(rows);
    EXPECT_NE(text.find("1 203 \"ALT\" 3 ramp 0 40000 60 repeat\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Взлёт\""), std::string::npos) << "tags are UTF-8 in the file";
    const GeneratorFileContents back = parseGeneratorText(text);
    EXPECT_TRUE(back.problem.empty()) << back.problem;
    EXPECT_TRUE(back.badLines.empty());
    EXPECT_EQ(back.rows, rows);
}

TEST(GeneratorFileTest, BadRowsAreNamedByLineAndTheRestIsRead)
{
    const std::string text = "# made by hand\r\n"
                             "TELVAR5-GEN 1\r\n"
                             "1 203 \"ALT\" 3 const 1000\r\n"
                             "9 203 \"ALT\" 3 const 1\n"          // 4: no channel 9
                             "1 208 \"ALT\" 3 const 1\n"          // 5: 8 is no octal digit
                             "1 400 \"ALT\" 3 const 1\n"          // 6: label above 377
                             "1 203 ALT 3 const 1\n"              // 7: tag not quoted
                             "1 203 \"\" 3 const 1\n"             // 8: empty tag
                             "1 203 \"TOOLONGTAG\" 3 const 1\n"   // 9: longer than a tag holds
                             "1 203 \"ALT\" 4 const 1\n"          // 10: SSM above 3
                             "1 203 \"ALT\" 3 ramp 0 1 0 hold\n"  // 11: period 0
                             "1 203 \"\xE4\xB8\xAD\" 3 const 1\n" // 12: not in the code page
                             "\n"
                             "   2 1 \"B\" 0 square 0 1 2\n";
    const GeneratorFileContents c = parseGeneratorText(text);
    EXPECT_TRUE(c.problem.empty());
    EXPECT_EQ(c.badLines, (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 11, 12}));
    ASSERT_EQ(c.rows.size(), 2u);
    EXPECT_EQ(c.rows[0], row(1, 0203, "ALT", 3, "const 1000"));
    EXPECT_EQ(c.rows[1], row(2, 1, "B", 0, "square 0 1 2"));
}

TEST(GeneratorFileTest, NotepadsByteOrderMarkAndDoubledLineEndsAreText)
{
    for (const char* eol : {"\n", "\r\n", "\r\r\n"}) {
        const std::string text = std::string("\xEF\xBB\xBFTELVAR5-GEN 1") + eol + "1 203 \"ALT\" 3 const 1000" + eol +
                                 "2 1 \"B\" 0 square 0 1 2" + eol;
        const GeneratorFileContents c = parseGeneratorText(text);
        EXPECT_TRUE(c.problem.empty()) << c.problem;
        EXPECT_TRUE(c.badLines.empty());
        EXPECT_EQ(c.rows, (std::vector<GeneratorRow>{row(1, 0203, "ALT", 3, "const 1000"),
                                                    row(2, 1, "B", 0, "square 0 1 2")}));
    }
}

TEST(GeneratorFileTest, FilesThatAreNotGeneratorFilesSaySo)
{
    const struct {
        std::string text;
        const char* problemStart;
    } cases[] = {
        {"", "Файл генератора пуст"},
        {"# only a comment\n", "Файл генератора пуст"},
        {"1 203 \"ALT\" 3 const 1\n", "Это не файл генератора"},
        {"TELVAR5-GEN\n", "Это не файл генератора"},
        {"TELVAR5-GEN 2\n1 203 \"ALT\" 3 const 1\n", "Файл генератора версии 2"},
    };
    for (const auto& c : cases) {
        const GeneratorFileContents got = parseGeneratorText(c.text);
        EXPECT_EQ(got.problem.rfind(c.problemStart, 0), 0u) << c.text << " -> " << got.problem;
        EXPECT_TRUE(got.rows.empty());
    }
}

TEST(GeneratorFileTest, AChannelTakesAtMost256Rows)
{
    std::string text = "TELVAR5-GEN 1\n";
    for (int i = 0; i < 257; ++i) {
        char label[8];
        std::snprintf(label, sizeof label, "%o", i % 256);
        text += std::string("3 ") + label + " \"A\" 0 const 1\n";
    }
    text += "4 0 \"A\" 0 const 1\n";
    const GeneratorFileContents c = parseGeneratorText(text);
    EXPECT_EQ(c.badLines, std::vector<int>{258}); // the 257th row of channel 3
    ASSERT_EQ(c.rows.size(), 257u);
    EXPECT_EQ(c.rows.back().channel, 4);
}

TEST(GeneratorFileTest, FilesOnDisk)
{
    const auto dir = std::filesystem::temp_directory_path() / ("telvar5-gen-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(dir);
    const std::vector<GeneratorRow> rows = {row(1, 0203, "ALT", 3, "const 35000")};
    EXPECT_TRUE(writeGeneratorFile(dir / "climb.gen", rows));
    EXPECT_EQ(readGeneratorFile(dir / "climb.gen").rows, rows);
    EXPECT_FALSE(readGeneratorFile(dir / "missing.gen").problem.empty());
    {
        std::ofstream big(dir / "big.gen", std::ios::binary);
        big << "TELVAR5-GEN 1\n" << std::string(2 << 20, '#');
    }
    EXPECT_EQ(readGeneratorFile(dir / "big.gen").problem.rfind("Файл слишком велик", 0), 0u);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace telvar5
