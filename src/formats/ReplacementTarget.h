#pragma once
// What a save over a path must respect about the file already there: where a
// link really leads, whether the user may write it, its mode, and which
// leftover files are the replacing writer's own. Used by ReplacingFile.
#include <filesystem>
#include <optional>

namespace telvar5 {

// The file a save to path writes: path itself, or the end of its chain of
// symbolic links, so the links stay links. Nothing when the chain loops or a
// link cannot be read.
std::optional<std::filesystem::path> finalTargetOf(const std::filesystem::path& path) noexcept;

// The file exists and this user may not write it (no write permission at all,
// the read-only attribute on Windows, or a file of someone else's).
bool isReadOnlyFile(const std::filesystem::path& file) noexcept;

// name is "<target's name>.tmp<digits>": how ReplacingFile names its temporaries.
bool isTemporaryNameOf(const std::filesystem::path& target, const std::filesystem::path& name) noexcept;

// The file's folder with its links resolved, then its name: one spelling per file.
std::filesystem::path identityOf(const std::filesystem::path& file) noexcept;

// Gives the new file the old one's mode (POSIX) or its hidden and system
// attributes (Windows). Best effort: a file system without modes still saves.
void keepAttributes(const std::filesystem::path& from, const std::filesystem::path& to) noexcept;

} // namespace telvar5
