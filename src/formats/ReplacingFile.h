#pragma once
// The program's one way of writing a file that may replace another, streamed:
// the bytes go to a temporary file beside the target ("<name>.tmpN", same folder,
// so the rename stays on one file system), and commit() makes them durable and
// renames the temporary file over the target. Until then the old file stays as
// it was; a file abandoned (or destroyed uncommitted) is removed.
//
// Saving over a file keeps what the user set up: a symbolic link is written
// through to the file it leads to, the new file takes the old one's mode, and
// a read-only file is refused (ok() false) before anything is written.
// Temporaries of the target's naming left by a crash go on its next save.
//
// Only a regular file is ever replaced. A target that exists and is anything
// else is refused before anything is written, and again at the rename should
// one have appeared meanwhile: a folder (WriteProblem::Folder), a device, a pipe
// or a socket, followed through links (WriteProblem::NotRegular), so that a save
// to /dev/null or /dev/stdout never puts a file in their place. On Windows the
// reserved device names (NUL, CON, PRN, AUX, COM1, LPT1... with or without an
// extension, in any folder) are refused alike. Whoever means a stream (standard
// output) writes to it itself: this writer only makes files.
//
// With WhenNew::WriteDirectly a target that does not exist yet is created
// exclusively and written in place: what reached the OS survives a crash of the
// program, and abandoning it keeps what was written (nothing old to protect).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string_view>

#include "formats/WriteProblem.h"

namespace telvar5 {

// Creates path as a new, empty file open for binary writing; null when it
// cannot. Never opens (nor truncates) a file that exists, on any system: the
// temporary and direct files of ReplacingFile are made so.
std::FILE* createNewFile(const std::filesystem::path& path) noexcept;

// Why a save to target is refused before anything is written: Folder,
// NotRegular or ReadOnly; None when it may go ahead. ReplacingFile asks it
// first; a caller may ask before it starts work that ends in the save.
WriteProblem replacementRefusal(const std::filesystem::path& target) noexcept;

class ReplacingFile {
public:
    enum class WhenNew { UseTemporary, WriteDirectly };

    explicit ReplacingFile(const std::filesystem::path& target, WhenNew whenNew = WhenNew::UseTemporary) noexcept;
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Open, and no write or flush has failed so far.
    bool ok() const noexcept { return file_ != nullptr && !failed_; }
    // Writing the target itself (a new file), not a temporary one.
    bool direct() const noexcept { return direct_; }
    // Where the bytes go until commit(): the temporary file, or the target when direct.
    const std::filesystem::path& writingPath() const noexcept { return writing_; }

    // Each returns ok(); after a failure nothing more is written.
    bool write(std::span<const std::uint8_t> bytes) noexcept;
    bool write(std::string_view text) noexcept;
    // Hands what is buffered to the OS (not yet to the disk).
    bool flush() noexcept;
    // Flush, sync to the disk, close and rename over the target. False if any
    // step (or an earlier write) failed; the temporary file is then removed.
    bool commit() noexcept;
    // Closes without committing: removes the temporary file, keeps a direct one.
    void abandon() noexcept;
    // Why the file could not be opened, written or committed: the first problem met.
    WriteProblem problem() const noexcept { return problem_; }

private:
    bool open(WhenNew whenNew); // may throw (no memory): the constructor catches it
    bool closeSynced() noexcept;
    void forgetTemporary() noexcept; // no longer live: a later save may clean it up
    void fail(WriteProblem problem) noexcept;


    std::filesystem::path target_;
    std::filesystem::path writing_;
    std::filesystem::path registered_; // the temporary's entry among the live ones
    std::FILE* file_ = nullptr;
    bool direct_ = false;
    bool failed_ = false;
    WriteProblem problem_ = WriteProblem::None;
};

} // namespace telvar5
