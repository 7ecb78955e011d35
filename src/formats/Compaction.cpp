#include "formats/Compaction.h"

#include <algorithm>

namespace telvar5 {

namespace {

int clampRows(int rows)
{
    return std::clamp(rows, 0, static_cast<int>(kFormatTableSize));
}

} // namespace

int gridRowsFor(std::size_t count)
{
    const std::size_t records = std::min<std::size_t>(count, kFormatTableSize);
    return records >= 1 ? static_cast<int>(records) + 1 : 2;
}

int compactFormats(FormatTables& tables, int rows)
{
    auto& table = tables.formatTable;
    std::size_t kept = 0;
    for (int i = 0; i < clampRows(rows); ++i) {
        if (table[static_cast<std::size_t>(i)].complete())
            table[kept++] = table[static_cast<std::size_t>(i)];
    }
    tables.formatCount = static_cast<std::uint16_t>(kept);

    // Only the bytes that mark a record as free are cleared; bit29IsData and the
    // leftover text bytes stay, as a new row shows them.
    for (std::size_t i = kept; i < kFormatTableSize; ++i) {
        DecimalFormat& f = table[i];
        f.bytes[DecimalFormat::kTagOffset] = 0;
        f.setMsbBit(0);
        f.setLsbBit(0);
        f.setMsbWeight(0.0f);
        f.bytes[DecimalFormat::kUnitsOffset] = 0;
    }
    return gridRowsFor(kept);
}

int compactParamFormats(FormatTables& tables, int rows)
{
    auto& table = tables.paramFormatTable;
    std::size_t kept = 0;
    for (int i = 0; i < clampRows(rows); ++i) {
        if (table[static_cast<std::size_t>(i)].inUse())
            table[kept++] = table[static_cast<std::size_t>(i)];
    }
    tables.paramFormatCount = static_cast<std::uint16_t>(kept);

    for (std::size_t i = kept; i < kFormatTableSize; ++i) {
        ParamFormatEntry& e = table[i];
        e.setLabel(0);
        e.setChannel(0);
        e.bytes[ParamFormatEntry::kTagOffset] = 0;
    }
    return gridRowsFor(kept);
}

} // namespace telvar5
