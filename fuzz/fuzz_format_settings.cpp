// The formats settings file (TLV5frmt.stt) as any bytes: the loader reads at
// most 256 records as stored, compaction keeps exactly the complete ones in
// order, and every loaded format renders into a CellText without being cut.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>

#include "FuzzCheck.h"
#include "MemoryFile.h"
#include "formats/CellText.h"
#include "formats/Compaction.h"
#include "formats/DecimalText.h"
#include "formats/FormatSettingsFile.h"

using namespace telvar5;

namespace {

// Words that reach every branch of the rendering: both signs, all bits, none.
constexpr std::uint32_t kWords[] = {0x00000000u, 0xFFFFFFFFu, 0x10000000u, 0x20000000u, 0x1FFFFF00u, 0x6AAAAA55u};

void checkRendering(const DecimalFormat& format, std::uint32_t word)
{
    CellText text;
    const std::string_view shown = decimalText(word, format, text);
    // " <sign><digits> <units padded to 4>    ": a text cut at the capacity loses its tail.
    FUZZ_CHECK(shown.size() + 1 < CellText::kCapacity);
    FUZZ_CHECK(shown.size() >= 2 && shown[0] == ' ' && (shown[1] == '+' || shown[1] == '-'));
    const std::string_view units = format.units();
    const std::string tail = std::string(units) + "    ";
    FUZZ_CHECK(shown.size() >= tail.size() + 3 && shown.substr(shown.size() - tail.size()) == tail);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static MemoryFile file;
    file.assign(data, size);

    auto tables = std::make_unique<FormatTables>();
    tables->paramFormatCount = 3; // the loader empties both tables
    FUZZ_CHECK(loadFormatSettings(*tables, file.path()));
    FUZZ_CHECK(tables->paramFormatCount == 0);

    // Every record of the file up to 256, a short last one padded with zero bytes.
    const std::size_t records = std::min<std::size_t>((size + DecimalFormat::kSize - 1) / DecimalFormat::kSize,
                                                      kFormatTableSize);
    FUZZ_CHECK(tables->formatCount <= kFormatTableSize);
    FUZZ_CHECK(tables->formatCount == records);
    for (std::size_t i = 0; i < records; ++i) {
        const std::size_t offset = i * DecimalFormat::kSize;
        const std::size_t stored = std::min(DecimalFormat::kSize, size - offset);
        const auto& bytes = tables->formatTable[i].bytes;
        FUZZ_CHECK(std::memcmp(bytes.data(), data + offset, stored) == 0);
        FUZZ_CHECK(std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(stored), bytes.end(),
                               [](std::uint8_t b) { return b == 0; }));
    }

    for (std::size_t i = 0; i < records; ++i) {
        for (std::uint32_t word : kWords)
            checkRendering(tables->formatTable[i], word);
        if (size >= 4) // a word of the input reaches values the fixed words miss
            checkRendering(tables->formatTable[i], static_cast<std::uint32_t>(data[0]) << 24 | data[1] << 16
                                                       | data[2] << 8 | data[3]);
    }

    // Compaction keeps the complete records in their order and nothing else.
    auto compacted = std::make_unique<FormatTables>(*tables);
    const int rows = compactFormats(*compacted, tables->formatCount);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < records; ++i) {
        if (!tables->formatTable[i].complete())
            continue;
        FUZZ_CHECK(kept < compacted->formatCount);
        FUZZ_CHECK(compacted->formatTable[kept].bytes == tables->formatTable[i].bytes);
        ++kept;
    }
    FUZZ_CHECK(compacted->formatCount == kept);
    FUZZ_CHECK(rows == static_cast<int>(std::max<std::size_t>(kept, 1)) + 1);
    for (std::size_t i = 0; i < compacted->formatCount; ++i)
        FUZZ_CHECK(compacted->formatTable[i].complete());
    for (std::size_t i = kept; i < kFormatTableSize; ++i)
        FUZZ_CHECK(!compacted->formatTable[i].complete());
    return 0;
}
