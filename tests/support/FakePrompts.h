#pragma once
#include <string>
#include <vector>

#include "app/UserPrompts.h"

namespace telvar5::test {

class FakePrompts : public UserPrompts {
public:
    bool answerYes = true;
    int beeps = 0;
    std::vector<std::string> questions;

    bool askYesNo(const std::string& title, const std::string& text) override
    {
        questions.push_back(title + "|" + text);
        return answerYes;
    }
    void beep() override { ++beeps; }
};

} // namespace telvar5::test
