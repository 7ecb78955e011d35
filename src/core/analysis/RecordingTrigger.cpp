#include "core/analysis/RecordingTrigger.h"

#include <cmath>

#include "formats/ArincWord.h"

namespace telvar5 {

void RecordingTrigger::arm(std::int64_t nowUs) noexcept
{
    lastSeenUs_ = nowUs;
    lastValue_.reset();
    lastSsm_.reset();
    metAtUs_.reset();
}

bool RecordingTrigger::fire(std::int64_t timeUs) noexcept
{
    if (met())
        return false;
    metAtUs_ = timeUs;
    return true;
}

bool RecordingTrigger::elapse(std::int64_t nowUs) noexcept
{
    return condition_.kind == ConditionKind::LabelAbsent && nowUs - lastSeenUs_ > condition_.absentUs &&
           fire(nowUs);
}

bool RecordingTrigger::meets(const TriggerWord& word) const noexcept
{
    // A value that is not a number is no value: it neither crosses nor leaves anything.
    const std::optional<double> value =
        word.value && !std::isnan(*word.value) ? word.value : std::optional<double>{};
    switch (condition_.kind) {
    case ConditionKind::LabelArrives:
        return true;
    case ConditionKind::ValueCrosses:
        return value && lastValue_ &&
               (*lastValue_ < condition_.threshold) != (*value < condition_.threshold);
    case ConditionKind::ValueLeavesRange:
        return value && (*value < condition_.low || *value > condition_.high);
    case ConditionKind::SsmChanges:
        return lastSsm_ && *lastSsm_ != wordSsm(word.word);
    case ConditionKind::LabelAbsent:
        return false;
    }
    return false;
}

bool RecordingTrigger::feed(const TriggerWord& word) noexcept
{
    if (word.channel != condition_.channel || wordLabel(word.word) != condition_.label)
        // Any word tells the time: a label absent too long is met by the next word of another.
        return elapse(word.timeUs);
    // The gap before this word counts too: an absence may end with the label's own word.
    bool now = elapse(word.timeUs);
    now = (meets(word) && fire(word.timeUs)) || now;
    lastSeenUs_ = word.timeUs;
    if (word.value && !std::isnan(*word.value))
        lastValue_ = word.value;
    lastSsm_ = wordSsm(word.word);
    return now;
}

} // namespace telvar5
