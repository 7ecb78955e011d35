#pragma once
// The user's answers when nobody sits at the bench: the reset warning of the
// device choice is answered Yes (running a command that needs the module is
// the consent), no file dialog is ever answered (commands name their files
// themselves), and an error box becomes a line on stderr.
#include <ostream>
#include <string>

#include "core/UserPrompts.h"

namespace telvar5::cli {

class CliPrompts final : public UserPrompts {
public:
    explicit CliPrompts(std::ostream& err) : err_(err) {}

    bool askYesNo(const std::string& title, const std::string& text) override;
    void beep() override {}
    void showError(const std::string& title, const std::string& text) override;
    std::optional<std::string> askOpenFileName(const FileDialogOptions& options) override;
    std::optional<std::string> askSaveFileName(const FileDialogOptions& options) override;

private:
    std::ostream& err_;
};

} // namespace telvar5::cli
