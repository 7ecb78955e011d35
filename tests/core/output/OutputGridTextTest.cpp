// Text typed into the output grid, key by key, as the cell editor reports it:
// each key press, then the editor's whole text.
#include "input/InputFixture.h"

using namespace telvar5;

namespace {

constexpr char kBackspace = 8;
constexpr char kCtrlV = 22;

struct Typing {
    const char* what;
    int column;
    std::string keys;       // one entry per key; Backspace erases, Ctrl+V pastes `pasted`
    const char* pasted;
    std::uint32_t expected; // the word afterwards
    std::vector<int> beepsAfterKey; // running count of beeps after each key
};

class OutputGridTextTest : public test::InitialisedMonitor {};

} // namespace

TEST_F(OutputGridTextTest, EachChangeIsJudgedByTheLastKeyTheLengthAndTheConversion)
{
    constexpr std::uint32_t kWord = 0xABCDEF12u; // code ABCDEF, address 022
    const Typing cases[] = {
        {"octal digits store at each key", 1, "177", "", 0xABCDEF7Fu, {0, 0, 0}},
        {"8 is no octal digit", 1, "8", "", kWord, {1}},
        {"9 is no octal digit", 1, "9", "", kWord, {1}},
        {"a fourth digit is too long", 1, "1234", "", 0xABCDEF53u, {0, 0, 0, 1}},
        {"erasing to nothing converts nothing", 1, std::string("1") + kBackspace, "", 0xABCDEF01u, {0, 1}},
        {"377 fills the address", 1, "377", "", 0xABCDEFFFu, {0, 0, 0}},
        {"777 keeps the low 8 bits", 1, "777", "", 0xABCDEFFFu, {0, 0, 0}},
        {"a pasted text takes its longest octal prefix", 1, std::string(1, kCtrlV), "12x", 0xABCDEF0Au, {0}},
        {"a refused minus is read with the next digit", 1, "-1", "", 0xABCDEFFFu, {1, 1}},
        {"six hex digits fill the code", 2, "ffffff", "", 0xFFFFFF12u, {0, 0, 0, 0, 0, 0}},
        {"a seventh is too long", 2, "fffffff", "", 0xFFFFFF12u, {0, 0, 0, 0, 0, 0, 1}},
        {"code 0 clears bits 9 to 32", 2, "0", "", 0x00000012u, {0}},
        {"capitals are hex digits", 2, "1A", "", 0x00001A12u, {0, 0}},
        {"g is no hex digit", 2, "g", "", kWord, {1}},
        {"the index column takes no text", 0, "1", "", kWord, {0}},
    };
    for (const Typing& c : cases) {
        SCOPED_TRACE(c.what);
        std::uint32_t& word = run().outputRecord[0].words[4];
        word = kWord;
        prompts.beeps = 0;
        prompts.refusals.clear();
        std::string text; // the editor opens empty and keeps what was typed
        std::vector<int> beeps;
        for (char key : c.keys) {
            monitor->outputGrid().DrawGrid1KeyPress(key);
            if (key == kBackspace)
                text.pop_back();
            else if (key == kCtrlV)
                text += c.pasted;
            else
                text += key;
            monitor->outputGrid().DrawGrid1SetEditText(c.column, 5, text);
            beeps.push_back(prompts.beeps);
        }
        EXPECT_EQ(word, c.expected) << std::hex << word;
        EXPECT_EQ(beeps, c.beepsAfterKey);
        EXPECT_EQ(prompts.refusals.size(), static_cast<std::size_t>(prompts.beeps)) << "every beep shows its reason";
    }
}

TEST_F(OutputGridTextTest, TextReachesOnlyWordsOfTheArrayWhileTypingIsOn)
{
    monitor->outputArrays().cbSOArrayDimChange(2); // 3 words: rows 1..3
    OutputGrid& grid = monitor->outputGrid();
    grid.DrawGrid1KeyPress('7');
    EXPECT_TRUE(grid.DrawGrid1SetEditText(1, 3, "7"));
    EXPECT_FALSE(grid.DrawGrid1SetEditText(1, 4, "7")) << "row 4 names no word of a 3-word array";
    EXPECT_FALSE(grid.DrawGrid1SetEditText(1, 0, "7"));
    EXPECT_FALSE(grid.DrawGrid1SetEditText(1, 300, "7"));
    EXPECT_EQ(run().outputRecord[0].words[3], 0u);
    monitor->output().SOciclePuskExecute();
    EXPECT_FALSE(grid.DrawGrid1SetEditText(1, 1, "7")) << "an editor left open across a cyclic start";
    EXPECT_EQ(run().outputRecord[0].words[0], 0u);
    EXPECT_EQ(prompts.beeps, 0);
    // A key typed on the transmitting channel shows why nothing happens, still without a beep;
    // Backspace and Enter are no typing.
    EXPECT_TRUE(prompts.refusals.empty());
    grid.DrawGrid1KeyPress('7');
    ASSERT_EQ(prompts.refusals.size(), 1u);
    EXPECT_EQ(prompts.refusals[0], "канал передаёт: ввод закрыт");
    grid.DrawGrid1KeyPress('\b');
    grid.DrawGrid1KeyPress('\r');
    EXPECT_EQ(prompts.refusals.size(), 1u);
    EXPECT_EQ(prompts.beeps, 0);
}
