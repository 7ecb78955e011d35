#pragma once
// The client side of the bench socket, used by telvar5-bench and the tests.
#include <string>
#include <vector>

namespace telvar5::vdrv {

struct BenchReply {
    bool connected = false;         // the driver answered at all
    bool ok = false;                // the command succeeded
    std::vector<std::string> lines; // the reply without its status line
    std::string error;              // why not, when !ok
};

// Sends one command line and reads the whole reply.
BenchReply sendBenchCommand(const std::string& socketPath, const std::string& command, int timeoutMs = 5000);

} // namespace telvar5::vdrv
