#pragma once
// What a path names, judged before the program opens it to read or to
// replace: only a regular file is ever read or replaced. A pipe would block
// the open until someone writes to it, a device would be read without end or
// replaced by a file for the whole machine, and a folder reads as nothing.
#include <filesystem>

namespace telvar5 {

enum class FileKind {
    Missing, // nothing of that name (a link leading nowhere included)
    Regular, // a regular file, or a link to one
    Folder,
    Other,   // a device, a pipe, a socket; on Windows a reserved device name
};

// Follows links. Windows: a device name of isWindowsDeviceName() is Other in any folder.
FileKind fileKindOf(const std::filesystem::path& path) noexcept;

// The last name of the path is one Windows takes for a device in any folder:
// CON, PRN, AUX, NUL, COM0..COM9, LPT0..LPT9 (and COM or LPT with a
// superscript 1, 2 or 3), CONIN$ or CONOUT$, in any case, with or without an
// extension, blanks before it ignored ("nul .txt"); or the path lies in the
// device namespace ("\\.\..."). Judged on every system, used on Windows only:
// elsewhere "nul.txt" is a file like any other.
bool isWindowsDeviceName(const std::filesystem::path& path) noexcept;

} // namespace telvar5
