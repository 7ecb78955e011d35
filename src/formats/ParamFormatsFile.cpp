#include "formats/ParamFormatsFile.h"

#include <algorithm>
#include <cstring>

#include "formats/InputFile.h"
#include "formats/RecordFile.h"
#include "formats/ReplaceFile.h"

namespace telvar5 {

bool loadParamFormats(FormatTables& tables, const std::filesystem::path& file) noexcept
{
    try {
        std::ifstream in;
        if (openInputFile(in, file) != InputProblem::None)
            return false;
        tables.paramFormatCount = 0;
        for (ParamFormatEntry& e : tables.paramFormatTable)
            e.setChannel(0);
        // A file of more than 256 records loads its first 256; the rest is ignored.
        while (tables.paramFormatCount < kFormatTableSize) {
            ParamFormatEntry& record = tables.paramFormatTable[tables.paramFormatCount];
            std::uint8_t piece[ParamFormatEntry::kSize];
            const std::size_t got = readRecordPiece(in, piece, sizeof piece);
            if (got == 0)
                break;
            std::memcpy(record.bytes.data(), piece, got);
            ++tables.paramFormatCount;
            if (got < sizeof piece)
                break;
        }
        return true;
    } catch (...) {
        return false;
    }
}

bool saveParamFormats(const FormatTables& tables, const std::filesystem::path& file, WriteProblem* problem) noexcept
{
    // The whole file is built first and then replaces the old one, so a
    // failed write never leaves a file cut short.
    const std::size_t count = std::min<std::size_t>(tables.paramFormatCount, kFormatTableSize);
    std::array<std::uint8_t, kFormatTableSize * ParamFormatEntry::kSize> bytes{};
    for (std::size_t i = 0; i < count; ++i)
        std::memcpy(bytes.data() + i * ParamFormatEntry::kSize, tables.paramFormatTable[i].bytes.data(), ParamFormatEntry::kSize);
    return replaceFile(file, std::span<const std::uint8_t>(bytes.data(), count * ParamFormatEntry::kSize), problem);
}

} // namespace telvar5
