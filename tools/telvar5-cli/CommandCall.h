#pragma once
// One command of the command line as typed: its word and the options that
// followed it, in order, before any value is judged.
#include <string>
#include <utility>
#include <vector>

namespace telvar5::cli {

struct CommandCall {
    std::string name;                                         // "receive"
    std::vector<std::pair<std::string, std::string>> options; // {"channel", "1"}; a flag has an empty value
    bool help = false;                                        // --help given after the command
    bool last = false;                                        // no command follows it in the invocation
};

} // namespace telvar5::cli
