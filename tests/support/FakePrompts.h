#pragma once
// The user's side in tests: answers the Yes/No box and the file dialogs as
// told, and counts beeps, refusal signs and error boxes.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/UserPrompts.h"

namespace telvar5::test {

class FakePrompts : public UserPrompts {
public:
    bool answerYes = true;
    int questions = 0;
    int beeps = 0;
    std::vector<std::string> refusals; // the reasons of the visible refusal signs, in order
    std::string lastTitle;
    std::string lastText;
    std::vector<std::string> errors; // texts of the error boxes shown
    std::optional<std::string> fileToOpen; // the open dialog's answer; nothing: cancelled
    std::optional<std::string> fileToSave;
    std::vector<FileDialogOptions> dialogs; // every file dialog opened, in order

    bool askYesNo(const std::string& title, const std::string& text) override
    {
        ++questions;
        lastTitle = title;
        lastText = text;
        return answerYes;
    }
    void beep() override { ++beeps; }
    std::function<void(const std::string&)> onRefusal; // widget tests show the sign through it
    void showRefusal(const std::string& reason) override
    {
        refusals.push_back(reason);
        if (onRefusal)
            onRefusal(reason);
    }
    void showError(const std::string& title, const std::string& text) override
    {
        lastTitle = title;
        errors.push_back(text);
    }
    std::optional<std::string> askOpenFileName(const FileDialogOptions& options) override
    {
        dialogs.push_back(options);
        return fileToOpen;
    }
    std::optional<std::string> askSaveFileName(const FileDialogOptions& options) override
    {
        dialogs.push_back(options);
        return fileToSave;
    }
};

} // namespace telvar5::test
