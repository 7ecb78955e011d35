#include "core/output/OutputArrayFile.h"

#include <algorithm>
#include <fstream>

#include "formats/InputFile.h"
#include "formats/RecordFile.h"
#include "formats/ReplaceFile.h"
#include "protocol/ByteLayout.h"

namespace telvar5 {

ArrayRestore restoreOutputArray(const std::filesystem::path& file, OutputWords& words, std::uint16_t& size) noexcept
{
    try {
        std::ifstream in;
        if (openInputFile(in, file) != InputProblem::None)
            return ArrayRestore::CannotOpen;
        std::uint8_t countBytes[2] = {};
        if (readRecordPiece(in, countBytes, sizeof countBytes) < sizeof countBytes)
            return ArrayRestore::NoWords;
        const std::uint16_t count = getU16(countBytes);
        // A count of 0 would leave the grid without rows and the size list
        // without an item; the array holds no more than 256 words.
        if (count == 0)
            return ArrayRestore::NoWords;
        const std::size_t wanted = std::min<std::size_t>(count, kOutputWords);
        std::array<std::uint8_t, 4 * kOutputWords> bytes{};
        const std::size_t got = readRecordPiece(in, bytes.data(), 4 * wanted);
        // Only whole words are taken: a word cut short by the end of the file keeps its value.
        for (std::size_t i = 0; i < got / 4; ++i)
            words[i] = getU32(bytes.data() + 4 * i);
        size = static_cast<std::uint16_t>(wanted);
        return ArrayRestore::Restored;
    } catch (...) {
        return ArrayRestore::CannotOpen;
    }
}

bool saveOutputArray(const std::filesystem::path& file, const OutputWords& words, std::uint16_t size,
                     WriteProblem* problem) noexcept
{
    const std::size_t count = std::clamp<std::size_t>(size, 1, kOutputWords);
    std::array<std::uint8_t, 2 + 4 * kOutputWords> bytes{};
    putU16(bytes.data(), static_cast<std::uint16_t>(count));
    for (std::size_t i = 0; i < count; ++i)
        putU32(bytes.data() + 2 + 4 * i, words[i]);
    return replaceFile(file, std::span<const std::uint8_t>(bytes.data(), 2 + 4 * count), problem);
}

} // namespace telvar5
