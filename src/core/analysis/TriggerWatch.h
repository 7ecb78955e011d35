#pragma once
// Follows the capture ring on the tick's thread and feeds a recording trigger
// every word published since it was armed, with the word's value through the
// formats in force on the condition's channel when it was armed.
#include <cstdint>
#include <memory>
#include <optional>

#include "core/analysis/CaptureRing.h"
#include "core/analysis/RecordingTrigger.h"
#include "formats/FormatTables.h"

namespace telvar5 {

class TriggerWatch {
public:
    // Armed at nowUs (the capture's time): words published before it do not count.
    TriggerWatch(const CaptureRing& ring, const FormatTables& formats, const RecordingCondition& condition,
                 std::int64_t nowUs);

    // After a tick: true when the words published since the last call, or the
    // time nowUs, met the condition (only the first time).
    bool poll(std::int64_t nowUs);

    const RecordingTrigger& trigger() const noexcept { return trigger_; }
    // The entry that met the condition; head() at the poll when the time met it.
    std::optional<std::uint64_t> metEntry() const noexcept { return metEntry_; }

private:
    const CaptureRing& ring_;
    std::unique_ptr<LabelFormatTable> formats_;
    RecordingTrigger trigger_;
    std::uint64_t cursor_;
    std::optional<std::uint64_t> metEntry_;
};

} // namespace telvar5
