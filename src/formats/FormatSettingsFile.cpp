#include "formats/FormatSettingsFile.h"

#include <algorithm>
#include <cstring>

#include "formats/InputFile.h"
#include "formats/RecordFile.h"
#include "formats/ReplaceFile.h"

namespace telvar5 {

bool loadFormatSettings(FormatTables& tables, const std::filesystem::path& file) noexcept
{
    tables.formatCount = 0;
    tables.paramFormatCount = 0;
    try {
        std::ifstream in;
        if (openInputFile(in, file) != InputProblem::None)
            return false;
        // A file of more than 256 records loads its first 256; the rest is
        // ignored, as the table has no room for it.
        while (tables.formatCount < kFormatTableSize) {
            DecimalFormat& record = tables.formatTable[tables.formatCount];
            std::uint8_t piece[DecimalFormat::kSize] = {};
            const std::size_t got = readRecordPiece(in, piece, sizeof piece);
            if (got == 0)
                break;
            std::memcpy(record.bytes.data(), piece, sizeof piece); // missing bytes are zero
            ++tables.formatCount;
            if (got < sizeof piece)
                break;
        }
        return true;
    } catch (...) {
        return false; // the records read so far stay, as with a failed read
    }
}

bool saveFormatSettings(const FormatTables& tables, const std::filesystem::path& file, WriteProblem* problem) noexcept
{
    // The whole file is built first and then replaces the old one, so a
    // failed write never leaves a file cut short.
    const std::size_t count = std::min<std::size_t>(tables.formatCount, kFormatTableSize);
    std::array<std::uint8_t, kFormatTableSize * DecimalFormat::kSize> bytes{};
    for (std::size_t i = 0; i < count; ++i)
        std::memcpy(bytes.data() + i * DecimalFormat::kSize, tables.formatTable[i].bytes.data(), DecimalFormat::kSize);
    return replaceFile(file, std::span<const std::uint8_t>(bytes.data(), count * DecimalFormat::kSize), problem);
}

} // namespace telvar5
