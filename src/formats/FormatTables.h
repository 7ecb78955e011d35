#pragma once
// The two format tables of the run: fixed arrays of 256 records with counts.
#include <array>
#include <cstdint>

#include "formats/DecimalFormat.h"
#include "formats/ParamFormatEntry.h"

namespace telvar5 {

inline constexpr std::size_t kFormatTableSize = 256;

struct FormatTables {
    std::array<DecimalFormat, kFormatTableSize> formatTable{};
    std::uint16_t formatCount = 0;
    std::array<ParamFormatEntry, kFormatTableSize> paramFormatTable{};
    std::uint16_t paramFormatCount = 0;
};

// Per-label decimal formats in force for the displayed input channel.
using LabelFormatTable = std::array<DecimalFormat, 256>;

} // namespace telvar5
