#pragma once
// The user's answers and the beep, through Qt: a Yes/No message box over the
// active window and the desktop's default beep.
#include "core/UserPrompts.h"

namespace telvar5 {

class QtUserPrompts : public UserPrompts {
public:
    bool askYesNo(const std::string& title, const std::string& text) override;
    void beep() override;
};

} // namespace telvar5
