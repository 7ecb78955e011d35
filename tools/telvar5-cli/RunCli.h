#pragma once
// telvar5-cli as a function: main() passes the process's arguments (without
// the program name), stdout, stderr and the real environment; tests pass
// their own. Returns the exit code.
#include <ostream>
#include <span>
#include <string>

#include "CliEnvironment.h"

namespace telvar5::cli {

int runCli(std::span<const std::string> args, std::ostream& out, std::ostream& err, CliEnvironment& env);

} // namespace telvar5::cli
