#include "core/output/WordBitEditor.h"

#include <cstdio>

namespace telvar5 {

namespace {
std::uint32_t bitMask(int box) { return std::uint32_t{1} << (WordBitEditor::bitOfBox(box) - 1); }
bool validBox(int box) { return box >= 1 && box <= WordBitEditor::kBoxes; }
} // namespace

WordBitEditor::WordBitEditor(RunState& run) : run_(run) {}

void WordBitEditor::FormShow()
{
    workingWord_ = run_.outputRecord[run_.curOutputIndex % kChannels].words[run_.wordIndex % kOutputWords];
}

std::string WordBitEditor::caption() const
{
    char text[96];
    std::snprintf(text, sizeof text, "Задание кода выходного параметра (индекс %d)", static_cast<int>(run_.wordIndex));
    return text;
}

bool WordBitEditor::boxTicked(int box) const { return validBox(box) && (workingWord_ & bitMask(box)) != 0; }

void WordBitEditor::CheckBoxClick(int box, bool ticked)
{
    if (!validBox(box))
        return;
    if (ticked)
        workingWord_ |= bitMask(box);
    else
        workingWord_ &= ~bitMask(box);
}

void WordBitEditor::Button1Click()
{
    const std::size_t ch = run_.curOutputIndex % kChannels;
    std::uint32_t& word = run_.outputRecord[ch].words[run_.wordIndex % kOutputWords];
    if (word != workingWord_)
        run_.arrayChanged[ch] = true;
    word = workingWord_;
}

} // namespace telvar5
