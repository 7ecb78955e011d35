#include "formats/ReplaceFile.h"

#include "formats/ReplacingFile.h"

namespace telvar5 {

bool replaceFile(const std::filesystem::path& file, std::span<const std::uint8_t> bytes,
                 WriteProblem* problem) noexcept
{
    ReplacingFile out(file);
    const bool saved = out.write(bytes) && out.commit();
    if (problem)
        *problem = saved ? WriteProblem::None : out.problem();
    return saved;
}

std::filesystem::path pathFromUtf8(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8FromPath(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace telvar5
