#include "core/analysis/TrendCandidates.h"

#include "formats/LabelFormats.h"

namespace telvar5 {

std::vector<TrendCandidate> TrendCandidates::collect(const FormatTables& tables)
{
    std::vector<TrendCandidate> out;
    LabelFormatTable labelFormats{};
    for (std::uint16_t channelNo = 1; channelNo <= 8; ++channelNo) {
        buildLabelFormats(labelFormats, tables, channelNo);
        for (std::size_t label = 0; label < labelFormats.size(); ++label) {
            // An empty tag is what the DECIMAL column shows as no value.
            if (labelFormats[label].tagEmpty())
                continue;
            out.push_back({static_cast<std::uint8_t>(channelNo), static_cast<std::uint8_t>(label),
                           labelFormats[label]});
        }
    }
    return out;
}

} // namespace telvar5
