#include "formats/ReplaceFile.h"

#include "formats/ReplacingFile.h"

namespace telvar5 {

bool replaceFile(const std::filesystem::path& file, std::span<const std::uint8_t> bytes) noexcept
{
    ReplacingFile out(file);
    return out.write(bytes) && out.commit();
}

std::filesystem::path pathFromUtf8(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

} // namespace telvar5
