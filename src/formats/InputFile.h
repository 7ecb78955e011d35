#pragma once
// The program's one way of opening a file it reads: only a regular file is
// opened (see FileKind), so a pipe, a device or a folder named by the user is
// refused with a reason instead of blocking the open or reading as nothing.
// Every reader of the program's files (arrays, formats, captures, generator
// rows) opens through here, in the window and on the command line alike.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace telvar5 {

enum class InputProblem {
    None,
    Missing,
    Folder,
    NotRegular, // a device, a pipe, a socket; on Windows a reserved device name
    Unreadable, // a regular file the system would not open
};

// Why the path cannot be read, as far as can be told without opening it.
InputProblem inputFileProblem(const std::filesystem::path& path) noexcept;

// Opens a regular file for binary reading into `in` (closed first); on
// success *size, when given, is its size in bytes. Anything else leaves `in`
// closed and says why.
InputProblem openInputFile(std::ifstream& in, const std::filesystem::path& path,
                           std::uintmax_t* size = nullptr) noexcept;

// The reason as a user reads it ("это папка"); empty for None.
std::string inputProblemText(InputProblem problem);

} // namespace telvar5
