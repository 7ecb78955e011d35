#pragma once
// The (input channel, label) pairs a trend can be drawn for: those with a
// decimal format in force, as the DECIMAL column of the input grid finds it.
#include <cstdint>
#include <string_view>
#include <vector>

#include "formats/DecimalFormat.h"
#include "formats/FormatTables.h"

namespace telvar5 {

struct TrendCandidate {
    std::uint8_t channelNo = 0; // 1..8
    std::uint8_t label = 0;
    DecimalFormat format;       // the format in force, with its tag and units (Windows-1251 bytes)

    std::string_view tag() const { return format.tag(); }
    std::string_view units() const { return format.units(); }
};

class TrendCandidates {
public:
    // Every pair with a format in force, by channel and then by label.
    static std::vector<TrendCandidate> collect(const FormatTables& tables);
};

} // namespace telvar5
