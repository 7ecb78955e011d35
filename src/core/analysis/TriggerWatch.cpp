#include "core/analysis/TriggerWatch.h"

#include <algorithm>

#include "formats/ArincWord.h"
#include "formats/DecimalText.h"
#include "formats/LabelFormats.h"

namespace telvar5 {

TriggerWatch::TriggerWatch(const CaptureRing& ring, const FormatTables& formats, const RecordingCondition& condition,
                           std::int64_t nowUs)
    : ring_(ring), formats_(std::make_unique<LabelFormatTable>()), trigger_(condition), cursor_(ring.head())
{
    buildLabelFormats(*formats_, formats, condition.channel);
    trigger_.arm(nowUs);
}

bool TriggerWatch::poll(std::int64_t nowUs)
{
    if (trigger_.met())
        return false;
    const std::uint64_t head = ring_.head();
    for (std::uint64_t n = std::max(cursor_, ring_.oldest()); n < head; ++n) {
        const CaptureEntry e = ring_.at(n);
        TriggerWord word{e.timeUs, e.channel, e.word, std::nullopt};
        const DecimalFormat& format = (*formats_)[wordLabel(e.word)];
        if (e.channel == trigger_.condition().channel && !format.tagEmpty()) {
            const DecimalValue v = decimalValue(e.word, format);
            word.value = v.sign == '-' ? -double{v.magnitude} : double{v.magnitude};
        }
        if (trigger_.feed(word)) {
            cursor_ = n + 1;
            metEntry_ = n;
            return true;
        }
    }
    cursor_ = head;
    if (!trigger_.elapse(nowUs))
        return false;
    metEntry_ = head;
    return true;
}

} // namespace telvar5
