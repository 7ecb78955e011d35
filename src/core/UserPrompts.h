#pragma once
// Everything the program asks of the user or the desktop outside its own
// windows. The Qt layer implements it with message boxes and the system beep;
// tests answer and record through a fake.
#include <string>

namespace telvar5 {

class UserPrompts {
public:
    virtual ~UserPrompts() = default;
    // A Yes/No question box; true only for Yes. Texts are UTF-8.
    virtual bool askYesNo(const std::string& title, const std::string& text) = 0;
    // The platform's default message beep.
    virtual void beep() = 0;
};

} // namespace telvar5
