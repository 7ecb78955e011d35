#pragma once
// The client side of the bench socket, used by telvar5-bench and the tests.
#include <string>

#include "vdrv/BenchReply.h"

namespace telvar5::vdrv {

// Sends one command line and reads the whole reply.
BenchReply sendBenchCommand(const std::string& socketPath, const std::string& command, int timeoutMs = 5000);

} // namespace telvar5::vdrv
