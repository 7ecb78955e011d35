#include "formats/LabelFormats.h"

#include "formats/FormatLookup.h"

namespace telvar5 {

void buildLabelFormats(LabelFormatTable& out, const FormatTables& tables, std::uint16_t channelNo)
{
    for (DecimalFormat& entry : out)
        entry.bytes[DecimalFormat::kTagOffset] = 0;

    for (std::size_t i = 0; i < kFormatTableSize; ++i) {
        const ParamFormatEntry& record = tables.paramFormatTable[i];
        if (record.channel() == 0)
            break;
        if (record.channel() != channelNo)
            continue;
        // findFormatByTag clamps a formatCount above 256.
        const int found = findFormatByTag(tables, record.formatTag());
        if (found >= 0)
            out[record.label()] = tables.formatTable[static_cast<std::size_t>(found)];
    }
}

} // namespace telvar5
