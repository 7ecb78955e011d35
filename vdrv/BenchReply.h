#pragma once
// A bench command's reply: the lines the driver wrote, the last of which is
// "OK" or "ERROR <reason>". The same text whether it came through the bench
// socket or straight from the driver's command interpreter.
#include <string>
#include <vector>

namespace telvar5::vdrv {

struct BenchReply {
    bool connected = false;         // the driver answered at all
    bool ok = false;                // the command succeeded
    std::vector<std::string> lines; // the reply without its status line
    std::string error;              // why not, when !ok
};

// Splits a whole reply into its lines and reads its status line; a reply cut
// short (complete false, or no line at all) counts as no answer.
BenchReply parseBenchReply(const std::string& text, bool complete = true);

} // namespace telvar5::vdrv
