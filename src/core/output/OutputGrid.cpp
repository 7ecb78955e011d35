#include "core/output/OutputGrid.h"

#include "core/output/OutputEditText.h"

namespace telvar5 {

OutputGrid::OutputGrid(RunState& run, const ScreenState& screen, UserPrompts& prompts, OutputControl& output)
    : run_(run), screen_(screen), prompts_(prompts), output_(output)
{
}

bool OutputGrid::wordRow(int row) const
{
    return row >= 1 && row <= run_.arraySize[run_.curOutputIndex % kChannels] && row <= static_cast<int>(kOutputWords);
}

void OutputGrid::DrawGrid1KeyPress(char key)
{
    run_.lastKey = key;
    // A cyclic output's array is closed to typing; no beep is due, but the key must not vanish unseen.
    if (!screen_.outputGridEditable && static_cast<unsigned char>(key) >= ' ')
        prompts_.showRefusal("канал передаёт: ввод закрыт");
}

bool OutputGrid::DrawGrid1SetEditText(int column, int row, std::string_view text)
{
    // An editor left open across a cyclic start types into nothing: the array
    // of a running cyclic output changes through the bit editor only.
    if (!screen_.outputGridEditable || !wordRow(row))
        return false;
    std::uint32_t& word = run_.outputRecord[run_.curOutputIndex % kChannels].words[static_cast<std::size_t>(row - 1)];
    const std::uint32_t before = word;
    switch (applyOutputEditText(column, text, run_.lastKey, word)) {
    case EditOutcome::Stored:
        if (word != before)
            run_.arrayChanged[run_.curOutputIndex % kChannels] = true;
        return true;
    case EditOutcome::Refused:
        prompts_.refuse(column == kAddressColumn ? "адрес: восьмеричные цифры, не более трёх"
                                                 : "код: шестнадцатеричные цифры, не более шести");
        return false;
    case EditOutcome::NotEditable: return false;
    }
    return false;
}

bool OutputGrid::DrawGrid1MouseDown(MouseButton button, int column, int row)
{
    // The title row names no word; neither does a point outside the rows.
    if (button != MouseButton::Right || column < 0 || !wordRow(row))
        return false;
    run_.wordIndex = static_cast<std::uint16_t>(row - 1);
    return true;
}

void OutputGrid::bitEditorClosed() { output_.sendWordUpdateIfCyclic(); }

} // namespace telvar5
