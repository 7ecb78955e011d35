#pragma once
// Decides when a recording's condition is met. The tick feeds it every word
// the capture ring gets, with the word's value through the formats in force
// (none when its label has no format), and tells it the time after each tick,
// so a label that stops arriving is noticed even when no word comes at all.
// Once met, the trigger stays met, with the time of the word or tick that met
// it, until it is armed again.
#include <cstdint>
#include <optional>

#include "core/analysis/RecordingCondition.h"

namespace telvar5 {

struct TriggerWord {
    std::int64_t timeUs = 0;  // since the start of reception
    std::uint8_t channel = 0; // 1..8
    std::uint32_t word = 0;
    std::optional<double> value; // through the label's format; none without a format
};

class RecordingTrigger {
public:
    explicit RecordingTrigger(const RecordingCondition& condition) : condition_(condition) {}

    const RecordingCondition& condition() const noexcept { return condition_; }

    // Forgets what it saw and waits again; an absence is counted from nowUs.
    void arm(std::int64_t nowUs) noexcept;

    // True when this word meets the condition (only the first time until armed again).
    bool feed(const TriggerWord& word) noexcept;
    // True when by nowUs the label has been absent too long (only the first time).
    bool elapse(std::int64_t nowUs) noexcept;

    bool met() const noexcept { return metAtUs_.has_value(); }
    // When it was met, in the time of the words.
    std::optional<std::int64_t> metAtUs() const noexcept { return metAtUs_; }

private:
    bool meets(const TriggerWord& word) const noexcept;
    bool fire(std::int64_t timeUs) noexcept;

    RecordingCondition condition_;
    std::int64_t lastSeenUs_ = 0; // the label's last word, or the arming
    std::optional<double> lastValue_;
    std::optional<std::uint32_t> lastSsm_;
    std::optional<std::int64_t> metAtUs_;
};

} // namespace telvar5
