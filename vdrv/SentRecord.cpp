#include "vdrv/SentRecord.h"

#include <algorithm>

namespace telvar5::vdrv {

std::vector<SentWord> SentRecord::last(std::size_t n) const
{
    n = std::min(n, size_);
    std::vector<SentWord> out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        out.push_back(ring_[(head_ + kSentRecordSize - n + i) % kSentRecordSize]);
    return out;
}

} // namespace telvar5::vdrv
