#pragma once
// The rules of the word bit editor TFrmSObinParam: 32 boxes over a copy of one
// word of the displayed output array, written back only on apply. Box N
// stands for bit 33 - N: box 1 is bit 32, box 32 is bit 1.
#include <cstdint>
#include <string>

#include "core/RunState.h"

namespace telvar5 {

class WordBitEditor {
public:
    static constexpr int kBoxes = 32;
    static constexpr int bitOfBox(int box) { return 33 - box; }

    explicit WordBitEditor(RunState& run);

    // Each showing: the copy is loaded from words[curOutputIndex][wordIndex].
    void FormShow();
    // "Задание кода выходного параметра (индекс %d)" with wordIndex.
    std::string caption() const;
    bool boxTicked(int box) const;
    // A box's tick changed (box 1..32): only its bit of the copy follows.
    void CheckBoxClick(int box, bool ticked);
    // "Применить": the copy replaces the array's word.
    void Button1Click();
    std::uint32_t workingWord() const { return workingWord_; }

private:
    RunState& run_;
    std::uint32_t workingWord_ = 0;
};

} // namespace telvar5
