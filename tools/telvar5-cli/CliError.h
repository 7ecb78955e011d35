#pragma once
// What ends an invocation early: the exit code and the one line (UTF-8) the
// user reads on stderr. Commands throw it; runCli catches it.
#include <stdexcept>
#include <string>

#include "ExitCode.h"

namespace telvar5::cli {

class CliError : public std::runtime_error {
public:
    CliError(ExitCode code, const std::string& message) : std::runtime_error(message), code_(code) {}
    ExitCode code() const noexcept { return code_; }

private:
    ExitCode code_;
};

} // namespace telvar5::cli
