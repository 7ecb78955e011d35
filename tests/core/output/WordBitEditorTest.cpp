// The bit editor's rules: box N stands for bit 33 - N of a copy of the word.
#include "input/InputFixture.h"

using namespace telvar5;

namespace {
class WordBitEditorTest : public test::InitialisedMonitor {
protected:
    WordBitEditor& editor() { return monitor->bitEditor(); }
    std::uint32_t& word(std::size_t i) { return run().outputRecord[0].words[i]; }
    void open(int row)
    {
        ASSERT_TRUE(monitor->outputGrid().DrawGrid1MouseDown(MouseButton::Right, 2, row));
        editor().FormShow();
    }
    std::vector<int> ticked()
    {
        std::vector<int> boxes;
        for (int box = 1; box <= WordBitEditor::kBoxes; ++box)
            if (editor().boxTicked(box))
                boxes.push_back(box);
        return boxes;
    }
};
} // namespace

TEST_F(WordBitEditorTest, BoxesShowTheBitsFromBit32Down)
{
    struct Case {
        std::uint32_t word;
        std::vector<int> boxes;
    };
    const Case cases[] = {
        {0x80000001u, {1, 32}},
        {0x000000FFu, {25, 26, 27, 28, 29, 30, 31, 32}},
        {0x00000100u, {24}},
        {0u, {}},
    };
    for (const Case& c : cases) {
        word(0) = c.word;
        open(1);
        EXPECT_EQ(ticked(), c.boxes) << std::hex << c.word;
        EXPECT_EQ(editor().caption(), "Задание кода выходного параметра (индекс 0)");
    }
}

TEST_F(WordBitEditorTest, OnlyApplyWritesTheCopyBack)
{
    word(4) = 0;
    open(5);
    EXPECT_EQ(editor().caption(), "Задание кода выходного параметра (индекс 4)");
    editor().CheckBoxClick(24, true);
    EXPECT_EQ(word(4), 0u) << "the array waits for Apply";
    editor().Button1Click();
    EXPECT_EQ(word(4), 0x100u);

    open(5); // cancel: the dialog closes without Button1Click
    editor().CheckBoxClick(24, false);
    editor().CheckBoxClick(1, true);
    EXPECT_EQ(editor().workingWord(), 0x80000000u);
    EXPECT_EQ(word(4), 0x100u);

    open(5); // every opening reloads the word
    EXPECT_EQ(editor().workingWord(), 0x100u);
    editor().CheckBoxClick(0, true); // no such box
    editor().CheckBoxClick(33, true);
    editor().Button1Click();
    EXPECT_EQ(word(4), 0x100u);
}
