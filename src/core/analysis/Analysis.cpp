#include "core/analysis/Analysis.h"

namespace telvar5 {

Analysis::Analysis(std::size_t captureCapacity) : ring_(captureCapacity) {}

void Analysis::startClock(std::int64_t nowUs)
{
    if (clockStarted_)
        return;
    startUs_ = nowUs;
    clockStarted_ = true;
}

void Analysis::receptionStarted(std::size_t ch, std::int64_t nowUs)
{
    startClock(nowUs);
    statistics_.reset(ch, sinceStartUs(nowUs));
}

void Analysis::moduleInitialised(std::int64_t nowUs)
{
    for (std::size_t ch = 0; ch < LabelStatistics::kChannelCount; ++ch)
        statistics_.reset(ch, sinceStartUs(nowUs));
}

} // namespace telvar5
