#pragma once
// A program's command-line arguments as UTF-8, the text every path of the
// program is made from (pathFromUtf8). On Windows the C runtime hands main()
// its arguments in the ANSI code page, which cannot hold every file name, so
// they are taken from the wide command line instead.
#include <string>
#include <vector>

namespace telvar5 {

// The arguments after the program's name.
std::vector<std::string> programArguments(int argc, char** argv);

} // namespace telvar5
