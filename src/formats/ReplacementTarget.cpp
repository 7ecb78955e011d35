#include "formats/ReplacementTarget.h"

#include <system_error>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <unistd.h>
#endif

namespace telvar5 {

namespace fs = std::filesystem;

namespace {

// As many links as the system itself follows before it calls the chain a loop.
constexpr int kMaxLinkHops = 40;

} // namespace

std::optional<fs::path> finalTargetOf(const fs::path& path) noexcept
{
    try {
        fs::path current = path;
        for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
            std::error_code ec;
            // Windows' libstdc++ reports no links here: a link there is replaced as a file is.
            if (!fs::is_symlink(fs::symlink_status(current, ec)))
                return current;
            const fs::path next = fs::read_symlink(current, ec);
            if (ec)
                return std::nullopt;
            // A link to a missing file leads here too: the user saving to the
            // link means the file it names, which is created, as an editor
            // saving through such a link would; the link keeps working after.
            current = next.is_absolute() ? next : current.parent_path() / next;
        }
    } catch (...) {
    }
    return std::nullopt;
}

bool isReadOnlyFile(const fs::path& file) noexcept
{
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (ec || !fs::exists(status))
        return false;
    // Checked by mode rather than by trying: renaming over a read-only file
    // succeeds wherever its folder is writable (and under wine), and root may
    // write any file, yet a file the user made read-only is meant to stay.
    constexpr fs::perms kAnyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if ((status.permissions() & kAnyWrite) == fs::perms::none)
        return true;
#ifndef _WIN32
    // Someone else's file: replacing it would make it ours and drop their rights.
    if (::access(file.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS))
        return true;
#endif
    return false;
}

bool isTemporaryNameOf(const fs::path& target, const fs::path& name) noexcept
{
    try {
        const fs::path::string_type prefix = target.filename().native() + fs::path(".tmp").native();
        const fs::path::string_type candidate = name.filename().native();
        if (candidate.size() <= prefix.size() || candidate.compare(0, prefix.size(), prefix) != 0)
            return false;
        for (std::size_t i = prefix.size(); i < candidate.size(); ++i)
            if (candidate[i] < '0' || candidate[i] > '9')
                return false;
        return true;
    } catch (...) {
        return false;
    }
}

fs::path identityOf(const fs::path& file) noexcept
{
    try {
        std::error_code ec;
        const fs::path folder = fs::canonical(file.parent_path().empty() ? fs::path(".") : file.parent_path(), ec);
        if (!ec)
            return folder / file.filename();
        const fs::path absolute = fs::absolute(file, ec);
        return ec ? file : absolute;
    } catch (...) {
        return {};
    }
}

void keepAttributes(const fs::path& from, const fs::path& to) noexcept
{
#ifdef _WIN32
    // The read-only attribute never gets here (such a target is refused);
    // the archive bit stays set on the new file, whose content is new.
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD old = ::GetFileAttributesW(from.c_str());
    const DWORD made = ::GetFileAttributesW(to.c_str());
    if (old != INVALID_FILE_ATTRIBUTES && made != INVALID_FILE_ATTRIBUTES && (old & kKept) != (made & kKept))
        ::SetFileAttributesW(to.c_str(), (made & ~kKept) | (old & kKept));
#else
    std::error_code ec;
    const fs::file_status status = fs::status(from, ec);
    if (!ec && fs::is_regular_file(status))
        fs::permissions(to, status.permissions() & fs::perms::mask, ec);
#endif
}

} // namespace telvar5
