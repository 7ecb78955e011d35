#pragma once
// A condition that starts or stops a recording: something that happens to one
// label on one input channel.
#include <cstdint>

namespace telvar5 {

enum class ConditionKind : std::uint8_t {
    LabelArrives,    // a word of the label comes in
    ValueCrosses,    // its value passes the threshold, either way, between two words
    ValueLeavesRange, // its value lies outside [low, high], the first value seen included
    SsmChanges,      // its SSM differs from the one of its previous word
    LabelAbsent,     // no word of it for longer than absentUs
};

struct RecordingCondition {
    ConditionKind kind = ConditionKind::LabelArrives;
    std::uint8_t channel = 1;  // input channel number, 1..8
    std::uint8_t label = 0;    // as the word carries it (octal 000..377 on the screen)
    double threshold = 0;      // ValueCrosses
    double low = 0, high = 0;  // ValueLeavesRange
    std::int64_t absentUs = 0; // LabelAbsent
};

} // namespace telvar5
