#pragma once
// A write to standard output that failed, as the error the system gave for
// it: a pipe whose reader went away ends the run with OutputClosed (the
// module is stopped and reset first, as at Ctrl+C); anything else (a full
// disk, an I/O error) with FileError, naming the reason.
#include <string>

#include "CliError.h"

namespace telvar5::cli {

CliError stdoutFailure(int error);

// A failed write's errno in the user's words: "на диске нет места".
std::string writeErrorText(int error);

} // namespace telvar5::cli
