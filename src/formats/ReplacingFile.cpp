#include "formats/ReplacingFile.h"

#include <string>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace telvar5 {

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

ReplacingFile::ReplacingFile(const std::filesystem::path& target, WhenNew whenNew) noexcept
{
    try {
        target_ = target;
        if (!open(whenNew))
            failed_ = true;
    } catch (...) {
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
    if (target_.empty() || std::filesystem::is_directory(target_, ec))
        return false;
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
        file_ = createNewFile(candidate);
        if (file_) {
            writing_ = std::move(candidate);
            return true;
        }
        // Taken between the look and the open: try the next name; any other failure is final.
        if (!std::filesystem::exists(candidate, ec))
            return false;
    }
    return false;
}

bool ReplacingFile::write(std::span<const std::uint8_t> bytes) noexcept
{
    if (!ok())
        return false;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
        failed_ = true;
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
    if (std::fflush(file_) != 0)
        failed_ = true;
    return ok();
}

bool ReplacingFile::closeSynced() noexcept
{
    bool good = ok() && std::fflush(file_) == 0;
#ifdef _WIN32
    good = good && _commit(_fileno(file_)) == 0;
#else
    good = good && ::fsync(fileno(file_)) == 0;
#endif
    good = std::fclose(file_) == 0 && good;
    file_ = nullptr;
    return good;
}

bool ReplacingFile::commit() noexcept
{
    if (!file_)
        return false;
    if (!closeSynced()) {
        failed_ = true;
        abandon();
        return false;
    }
    if (direct_)
        return true;
    std::error_code ec;
    std::filesystem::rename(writing_, target_, ec);
    if (ec) {
        failed_ = true;
        std::filesystem::remove(writing_, ec);
        return false;
    }
    writing_.clear();
    return true;
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
}

} // namespace telvar5
