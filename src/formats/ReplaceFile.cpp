#include "formats/ReplaceFile.h"

#include <cstdio>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace telvar5 {

namespace {

// Writes all bytes to a new file and makes them durable before the rename.
bool writeNewFile(const std::filesystem::path& temp, std::span<const std::uint8_t> bytes)
{
#ifdef _WIN32
    std::FILE* f = _wfopen(temp.c_str(), L"wbx");
#else
    std::FILE* f = std::fopen(temp.c_str(), "wbx"); // never opens an existing file
#endif
    if (!f)
        return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fflush(f) == 0 && ok;
#ifdef _WIN32
    ok = _commit(_fileno(f)) == 0 && ok;
#else
    ok = ::fsync(fileno(f)) == 0 && ok;
#endif
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

} // namespace

bool replaceFile(const std::filesystem::path& file, std::span<const std::uint8_t> bytes) noexcept
{
    try {
        std::error_code ec;
        if (file.empty() || std::filesystem::is_directory(file, ec))
            return false;
        const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
        // A name of our own beside the file: same folder, so the rename stays on one file system.
        std::filesystem::path temp;
        for (int attempt = 0; attempt < 100 && temp.empty(); ++attempt) {
            std::filesystem::path candidate = folder / (file.filename().string() + ".tmp" + std::to_string(attempt));
            if (!std::filesystem::exists(candidate, ec) && !ec)
                temp = candidate;
        }
        if (temp.empty())
            return false;
        if (!writeNewFile(temp, bytes)) {
            std::filesystem::remove(temp, ec);
            return false;
        }
        std::filesystem::rename(temp, file, ec);
        if (ec) {
            std::filesystem::remove(temp, ec);
            return false;
        }
        return true;
    } catch (...) {
        return false;
    }
}

std::filesystem::path pathFromUtf8(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

} // namespace telvar5
