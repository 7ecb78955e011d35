#pragma once
// A captured word as the sequential log keeps it: the entry and the time
// since its label's previous word on the same channel.
#include <cstdint>

#include "core/analysis/CaptureEntry.h"

namespace telvar5 {

struct WordLogEntry {
    CaptureEntry entry;
    std::int64_t sinceSameLabelUs = -1; // -1: the label's first word on its channel
};

} // namespace telvar5
