#pragma once
// The user's side in tests: answers the Yes/No box as told and counts beeps.
#include <string>

#include "core/UserPrompts.h"

namespace telvar5::test {

class FakePrompts : public UserPrompts {
public:
    bool answerYes = true;
    int questions = 0;
    int beeps = 0;
    std::string lastTitle;
    std::string lastText;

    bool askYesNo(const std::string& title, const std::string& text) override
    {
        ++questions;
        lastTitle = title;
        lastText = text;
        return answerYes;
    }
    void beep() override { ++beeps; }
};

} // namespace telvar5::test
