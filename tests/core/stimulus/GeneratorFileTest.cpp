// The generator's rows in their text file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "core/stimulus/GeneratorFile.h"

namespace telvar5 {
namespace {

GeneratorRow row(int channel, std::uint8_t label, std::string tag, std::uint8_t ssm, const char* waveform,
                 double intervalMs = 0.0)
{
    return {channel, label, std::move(tag), ssm, *parseWaveform(waveform), intervalMs};
}

TEST(GeneratorFileTest, RowsReadBackAsTheyWereWritten)
{
    const std::vector<GeneratorRow> rows = {
        row(1, 0203, "ALT", 3, "ramp 0 40000 60 repeat"),
        row(1, 0206, "\xC2\xE7\xEB\xB8\xF2", 0, "sine 250 50 30"), // "Взлёт" in Windows-1251
        row(8, 0, "a \"b\\", 2, "walk -1 1 0.5 7"),                // blanks, a quote and a backslash
        row(2, 0377, "X", 1, "step 1 2 3"),
        row(3, 0310, "ALT", 3, "const 7", 62.5),
        row(3, 0311, "ALT", 3, "ramp 0 1 2 hold", 0.1 + 0.2), // a sum that prints with many digits
    };
    const std::string text = generatorText(rows);
    EXPECT_NE(text.find("1 203 \"ALT\" 3 ramp 0 40000 60 repeat\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Взлёт\""), std::string::npos) << "tags are UTF-8 in the file";
    EXPECT_NE(text.find("3 310 \"ALT\" 3 const 7 every 62.5\n"), std::string::npos) << text;
    const GeneratorFileContents back = parseGeneratorText(text);
    EXPECT_TRUE(back.problem.empty()) << back.problem;
    EXPECT_TRUE(back.badLines.empty());
    EXPECT_EQ(back.rows, rows);
}

TEST(GeneratorFileTest, BadRowsAreNamedByLineAndReasonAndTheRestIsRead)
{
    const struct {
        const char* row;
        const char* reason;
    } bad[] = {
        {"9 203 \"ALT\" 3 const 1", "канал «9» — не номер от 1 до 8"},
        {"1 208 \"ALT\" 3 const 1", "метка «208» — не восьмеричное число от 0 до 377"},
        {"1 400 \"ALT\" 3 const 1", "метка «400» — не восьмеричное"},
        {"1", "нет метки"},
        {"1 203 ALT 3 const 1", "имя формата не в кавычках"},
        {"1 203 \"ALT 3 const 1", "имя формата не закрыто кавычкой"},
        {"1 203 \"ALT\"3 const 1", "после закрывающей кавычки имени формата нет пробела"},
        {"1 203 \"A\\qB\" 3 const 1", "неизвестная последовательность «\\q» в имени формата"},
        {"1 203 \"A\\x41\" 3 const 1", "неизвестная последовательность «\\x41»"}, // only control characters
        {"1 203 \"A\\x00\" 3 const 1", "неизвестная последовательность «\\x00»"},
        {"1 203 \"A\\Ж\" 3 const 1", "неизвестная последовательность «\\Ж»"},
        {"1 203 \"\" 3 const 1", "пустое имя формата"},
        {"1 203 \"TOOLONGTAG\" 3 const 1", "имя формата длиннее 8 знаков"},
        {"1 203 \"\xE4\xB8\xAD\" 3 const 1", "нет в кодировке Windows-1251"},
        {"1 203 \"ALT\" 4 const 1", "SSM «4» — не число от 0 до 3"},
        {"1 203 \"ALT\" 3", "нет закона (const, ramp, sine, square, step, walk)"},
        {"1 203 \"ALT\" 3 saw 1", "неизвестный закон «saw»"},
        {"1 203 \"ALT\" 3 sine 1 2", "закон sine ждет ЦЕНТР АМПЛИТУДА ПЕРИОД"},
        {"1 203 \"ALT\" 3 const 1,5", "«1,5» — не число (числа пишутся с точкой)"},
        {"1 203 \"ALT\" 3 ramp 0 1 0 hold", "ПЕРИОД закона ramp должен быть больше 0"},
        {"1 203 \"ALT\" 3 ramp 0 1 5 again", "закон ramp кончается словом repeat или hold, а не «again»"},
        {"1 203 \"ALT\" 3 step 0 1 -1", "МОМЕНТ закона step должен быть больше 0"},
        {"1 203 \"ALT\" 3 walk 10 0 1 1", "НИЖНЯЯ граница больше ВЕРХНЕЙ"},
        {"1 203 \"ALT\" 3 walk 0 10 -1 1", "СКОРОСТЬ закона walk не может быть меньше 0"},
        {"1 203 \"ALT\" 3 walk 0 10 1 x", "ЗЕРНО закона walk — целое число"},
        {"1 203 \"ALT\" 3 const 1 every 0", "интервал «0» — не число миллисекунд больше 0"},
        {"1 203 \"ALT\" 3 const 1 every 1,5", "интервал «1,5»"},
        {"1 203 \"ALT\" 3 const 1 every 60001", "интервал «60001»"},
        {"1 203 \"ALT\" 3 const 1 every", "закон const ждет"},
    };
    std::string text = "# made by hand\r\nTELVAR5-GEN 1\r\n1 203 \"ALT\" 3 const 1000\r\n";
    for (const auto& b : bad)
        text += std::string(b.row) + "\n";
    text += "\n   2 1 \"B\" 0 square 0 1 2\n";
    const GeneratorFileContents c = parseGeneratorText(text);
    EXPECT_TRUE(c.problem.empty());
    ASSERT_EQ(c.badLines.size(), std::size(bad));
    for (std::size_t i = 0; i < std::size(bad); ++i) {
        EXPECT_EQ(c.badLines[i].line, static_cast<int>(i) + 4) << bad[i].row;
        EXPECT_NE(c.badLines[i].reason.find(bad[i].reason), std::string::npos)
            << bad[i].row << " -> " << c.badLines[i].reason;
    }
    ASSERT_EQ(c.rows.size(), 2u);
    EXPECT_EQ(c.rows[0], row(1, 0203, "ALT", 3, "const 1000"));
    EXPECT_EQ(c.rows[1], row(2, 1, "B", 0, "square 0 1 2"));
    EXPECT_EQ(badLinesText(std::span(c.badLines).first(2)),
              "строка 4: канал «9» — не номер от 1 до 8; строка 5: метка «208» — не восьмеричное число от 0 до 377");
    EXPECT_EQ(badLinesText(c.badLines, "; ", 1), "строка 4: канал «9» — не номер от 1 до 8; и еще строк с ошибками: " +
                                                     std::to_string(std::size(bad) - 1));
}

TEST(GeneratorFileTest, EveryTagASavedFileCanHoldReadsBack)
{
    // Every byte but zero, eight to a tag: control characters, quotes,
    // backslashes, blanks and the whole upper half of the code page.
    std::vector<GeneratorRow> rows;
    for (int first = 1; first < 256; first += 8) {
        std::string tag;
        for (int b = first; b < std::min(first + 8, 256); ++b)
            tag.push_back(static_cast<char>(b));
        rows.push_back(row(1 + static_cast<int>(rows.size()) % 8, static_cast<std::uint8_t>(first), tag, 3, "const 1"));
    }
    rows.push_back(row(1, 0, "\n", 3, "const 1"));
    rows.push_back(row(1, 1, "\\x0A", 3, "const 1")); // an escape's own text
    const std::string text = generatorText(rows);
    const GeneratorFileContents back = parseGeneratorText(text);
    EXPECT_TRUE(back.badLines.empty()) << badLinesText(back.badLines);
    EXPECT_EQ(back.rows, rows);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<std::ptrdiff_t>(rows.size()) + 4)
        << "one line a row, after the header and three comments";
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
    // The 257th row of channel 3.
    EXPECT_EQ(c.badLines, (std::vector<GeneratorBadLine>{{258, "больше 256 строк для канала 3"}}));
    ASSERT_EQ(c.rows.size(), 257u);
    EXPECT_EQ(c.rows.back().channel, 4);
    // Where only channel 4 is laid out, channel 3's rows are read and never counted.
    const GeneratorFileContents four = parseGeneratorText(text, std::bitset<kChannels>().set(3));
    EXPECT_TRUE(four.badLines.empty());
    EXPECT_EQ(four.rows.size(), 258u);
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
    // What is not a regular file is refused before it is opened: a pipe would block the open.
    std::filesystem::create_directory(dir / "folder.gen");
    EXPECT_EQ(readGeneratorFile(dir / "folder.gen").problem, "Это папка, а не файл генератора.");
#ifndef _WIN32
    ASSERT_EQ(::mkfifo((dir / "pipe.gen").c_str(), 0600), 0);
    EXPECT_EQ(readGeneratorFile(dir / "pipe.gen").problem.rfind("Это не обычный файл", 0), 0u);
#endif
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace telvar5
