#pragma once
// Why a file could not be written, as far as the system tells it, so that a
// "not saved" message can name the reason beside its own text.
#include <string>

namespace telvar5 {

enum class WriteProblem {
    None,
    ReadOnly,     // the file is marked read-only
    Folder,       // the name is a folder's
    NotRegular,   // a device, a pipe or a socket (on Windows a device name): never replaced
    NoFolder,     // the folder does not exist
    AccessDenied, // the system refused: rights, a read-only medium, a file in use
    DiskFull,
    Other,
};

// The system's error number of a failed call, as a problem.
WriteProblem writeProblemOfErrno(int error) noexcept;
// The reason as a user reads it ("файл только для чтения"); empty for None.
std::string writeProblemText(WriteProblem problem);

} // namespace telvar5
