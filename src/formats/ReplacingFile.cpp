#include "formats/ReplacingFile.h"

#include <cerrno>
#include <mutex>
#include <set>
#include <string>
#include <system_error>

#include "formats/FileKind.h"
#include "formats/ReplacementTarget.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace telvar5 {

namespace {

// The temporaries this process is writing now (the capture recorder may be
// saving the target another save cleans up after), by identityOf(). The lock
// is held from the look for stale ones to the registration of a new one.
struct LiveTemporaries {
    std::mutex mutex;
    std::set<std::filesystem::path> paths;
};

LiveTemporaries& live()
{
    static LiveTemporaries temporaries;
    return temporaries;
}

// "<name>.tmp<digits>" beside the target and no one's here now: left by a
// crash. Only regular files go; anything else of that name is not ours.
// Another program's save of the same file that loses its temporary fails on
// its own rename (POSIX) or keeps it (Windows will not delete an open file).
void removeStaleTemporaries(const std::filesystem::path& target)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path folder = target.parent_path();
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path name = folder / it->path().filename();
        std::error_code statusError;
        if (!isTemporaryNameOf(target, name) || !fs::is_regular_file(fs::symlink_status(name, statusError)))
            continue;
        if (live().paths.count(identityOf(name)) == 0)
            fs::remove(name, statusError);
    }
}

} // namespace

std::FILE* createNewFile(const std::filesystem::path& path) noexcept
{
#ifdef _WIN32
    // msvcrt's fopen knows no "x" (it would open and truncate the file): the
    // system is asked for the exclusive create itself, then a stream made on it.
    int fd = -1;
    if (_wsopen_s(&fd, path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _SH_DENYNO, _S_IREAD | _S_IWRITE) != 0)
        return nullptr;
    std::FILE* file = _fdopen(fd, "wb");
    if (!file) {
        _close(fd);
        _wremove(path.c_str()); // the empty file just made
    }
    return file;
#else
    return std::fopen(path.c_str(), "wbx");
#endif
}

WriteProblem replacementRefusal(const std::filesystem::path& target) noexcept
{
    switch (fileKindOf(target)) {
    case FileKind::Folder: return WriteProblem::Folder;
    case FileKind::Other: return WriteProblem::NotRegular;
    case FileKind::Missing: return WriteProblem::None;
    case FileKind::Regular: break;
    }
    // Refused before anything is written, as the system's own save dialogs
    // refuse it: the caller shows its "not saved" box and the file stays.
    return isReadOnlyFile(target) ? WriteProblem::ReadOnly : WriteProblem::None;
}

ReplacingFile::ReplacingFile(const std::filesystem::path& target, WhenNew whenNew) noexcept
{
    try {
        target_ = target;
        if (!open(whenNew))
            fail(WriteProblem::Other); // keeps the problem open() met
    } catch (...) {
        fail(WriteProblem::Other);
        abandon();
    }
}

ReplacingFile::~ReplacingFile()
{
    abandon();
}

bool ReplacingFile::open(WhenNew whenNew)
{
    std::error_code ec;
    if (target_.empty()) {
        problem_ = WriteProblem::NoFolder;
        return false;
    }
    // Judged through every link, so a link to a device is refused as the device is.
    problem_ = replacementRefusal(target_);
    if (problem_ != WriteProblem::None)
        return false;
    // Through links to the file they lead to: the temporary goes beside that
    // file (one file system for the rename) and the links stay.
    const auto final = finalTargetOf(target_);
    if (!final) {
        problem_ = WriteProblem::Other;
        return false;
    }
    target_ = *final;
    const std::lock_guard lock(live().mutex);
    removeStaleTemporaries(target_);
    if (whenNew == WhenNew::WriteDirectly && !std::filesystem::exists(target_, ec) && !ec) {
        file_ = createNewFile(target_);
        if (file_) {
            writing_ = target_;
            direct_ = true;
            return true;
        }
        // Created by someone else meanwhile: it is replaced like any existing file.
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::filesystem::path candidate = target_; // same folder: the rename stays on one file system
        candidate += ".tmp" + std::to_string(attempt);
        if (std::filesystem::exists(candidate, ec) || ec)
            continue;
        errno = 0;
        file_ = createNewFile(candidate);
        if (file_) {
            writing_ = std::move(candidate);
            registered_ = identityOf(writing_);
            live().paths.insert(registered_);
            // The old file's mode from the start: a private file is never readable meanwhile.
            keepAttributes(target_, writing_);
            return true;
        }
        // Taken between the look and the open: try the next name; any other failure is final.
        const int error = errno;
        if (!std::filesystem::exists(candidate, ec)) {
            problem_ = writeProblemOfErrno(error);
            return false;
        }
    }
    problem_ = WriteProblem::Other;
    return false;
}

bool ReplacingFile::write(std::span<const std::uint8_t> bytes) noexcept
{
    if (!ok())
        return false;
    errno = 0;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
        fail(writeProblemOfErrno(errno));
    return ok();
}

bool ReplacingFile::write(std::string_view text) noexcept
{
    return write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool ReplacingFile::flush() noexcept
{
    if (!ok())
        return false;
    errno = 0;
    if (std::fflush(file_) != 0)
        fail(writeProblemOfErrno(errno));
    return ok();
}

bool ReplacingFile::closeSynced() noexcept
{
    errno = 0;
    bool good = ok() && std::fflush(file_) == 0;
#ifdef _WIN32
    good = good && _commit(_fileno(file_)) == 0;
#else
    good = good && ::fsync(fileno(file_)) == 0;
#endif
    good = std::fclose(file_) == 0 && good;
    file_ = nullptr;
    if (!good)
        fail(writeProblemOfErrno(errno));
    return good;
}

bool ReplacingFile::commit() noexcept
{
    if (!file_)
        return false;
    if (!closeSynced()) {
        abandon();
        return false;
    }
    if (direct_)
        return true;
    std::error_code ec;
    // Something other than a file may have taken the name while the bytes were written.
    const FileKind kind = fileKindOf(target_);
    if (kind == FileKind::Folder || kind == FileKind::Other)
        ec = std::make_error_code(std::errc::file_exists);
    else
        std::filesystem::rename(writing_, target_, ec);
    const bool renamed = !ec;
    if (!renamed) {
        fail(kind == FileKind::Folder  ? WriteProblem::Folder
             : kind == FileKind::Other ? WriteProblem::NotRegular
                                       : writeProblemOfErrno(ec.default_error_condition().value()));
        std::filesystem::remove(writing_, ec);
    }
    writing_.clear();
    forgetTemporary();
    return renamed;
}

void ReplacingFile::fail(WriteProblem problem) noexcept
{
    failed_ = true;
    if (problem_ == WriteProblem::None)
        problem_ = problem;
}

void ReplacingFile::forgetTemporary() noexcept
{
    if (registered_.empty())
        return;
    const std::lock_guard lock(live().mutex);
    live().paths.erase(registered_);
    registered_.clear();
}

void ReplacingFile::abandon() noexcept
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    failed_ = true;
    if (!direct_ && !writing_.empty()) {
        std::error_code ec;
        std::filesystem::remove(writing_, ec);
        writing_.clear();
    }
    forgetTemporary();
}

} // namespace telvar5
