#pragma once
// The per-label decimal formats in force for the displayed input channel.
#include <cstdint>

#include "formats/FormatTables.h"

namespace telvar5 {

// Rebuilds `out` for input channel channelNo (1..8): only the first tag byte of
// every entry is cleared; then each parameter format of the channel, walked from
// the start up to the first record with channel 0, copies the first decimal format
// with its tag into the entry of its label. The last record of a label that finds
// its format wins; a tag naming no format leaves the entry as it was.
void buildLabelFormats(LabelFormatTable& out, const FormatTables& tables, std::uint16_t channelNo);

} // namespace telvar5
