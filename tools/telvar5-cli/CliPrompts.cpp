#include "CliPrompts.h"

namespace telvar5::cli {

bool CliPrompts::askYesNo(const std::string&, const std::string&) { return true; }

void CliPrompts::showError(const std::string&, const std::string& text)
{
    // A box's text may run over several lines; stderr gets one.
    std::string line = "telvar5-cli: " + text;
    for (char& c : line)
        if (c == '\n' || c == '\r')
            c = ' ';
    line.push_back('\n');
    err_ << line << std::flush;
}

std::optional<std::string> CliPrompts::askOpenFileName(const FileDialogOptions&) { return std::nullopt; }

std::optional<std::string> CliPrompts::askSaveFileName(const FileDialogOptions&) { return std::nullopt; }

} // namespace telvar5::cli
