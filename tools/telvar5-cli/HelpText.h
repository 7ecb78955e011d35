#pragma once
// The texts of --help: the program's (commands and exit codes) and each
// command's, every line within 80 columns; and of --version.
#include <string>
#include <string_view>

namespace telvar5::cli {

class HelpText {
public:
    static std::string version();
    static std::string general();
    // The help of one command; the general help for a name it does not know.
    static std::string command(std::string_view name);
};

} // namespace telvar5::cli
