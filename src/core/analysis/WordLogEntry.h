#pragma once
// A captured word as the sequential log keeps it: the entry and the time
// since its label's previous word on the same channel.
#include <cstdint>

#include "core/analysis/CaptureEntry.h"

namespace telvar5 {

// The interval of a recording's word that the background scan has not reached yet.
inline constexpr std::int64_t kIntervalUnknown = -2;

struct WordLogEntry {
    CaptureEntry entry;
    std::int64_t sinceSameLabelUs = -1; // -1: the label's first word on its channel; or kIntervalUnknown
};

} // namespace telvar5
