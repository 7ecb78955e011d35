#include "core/analysis/TrendSeries.h"

#include <algorithm>
#include <cmath>

#include "formats/ArincWord.h"
#include "formats/DecimalText.h"

namespace telvar5 {

TrendSeries::TrendSeries(std::uint8_t channelNo, std::uint8_t label, const DecimalFormat& format,
                         std::size_t capacity)
    : channelNo_(channelNo), label_(label), format_(format), points_(std::max<std::size_t>(capacity, 1))
{
}

void TrendSeries::feed(const CaptureRing& ring)
{
    const std::uint64_t head = ring.head();
    const std::uint64_t oldest = ring.oldest();
    std::uint64_t n = next_;
    if (n < oldest) {
        // The history before the first call is a backfill, not a loss.
        if (fed_)
            missed_ += oldest - n;
        n = oldest;
    }
    fed_ = true;
    for (; n < head; ++n) {
        const CaptureEntry& e = ring.at(n);
        if (e.channel != channelNo_ || wordLabel(e.word) != label_)
            continue;
        const DecimalValue v = decimalValue(e.word, format_);
        const double value = v.sign == '-' ? -static_cast<double>(v.magnitude) : static_cast<double>(v.magnitude);
        if (std::isfinite(value))
            add({e.timeUs, value});
    }
    next_ = std::max(next_, head);
}

void TrendSeries::add(const TrendPoint& p) noexcept
{
    ++added_;
    const std::size_t cap = points_.size();
    if (size_ < cap) {
        points_[(start_ + size_) % cap] = p;
        ++size_;
    } else {
        points_[start_] = p; // the oldest point gives way
        start_ = (start_ + 1) % cap;
    }
}

std::size_t TrendSeries::lowerBound(std::int64_t t) const noexcept
{
    std::size_t lo = 0, hi = size_;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (point(mid).timeUs < t)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

std::size_t TrendSeries::upperBound(std::int64_t t) const noexcept
{
    std::size_t lo = 0, hi = size_;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (point(mid).timeUs <= t)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

std::optional<TrendValueRange> TrendSeries::valueRange(std::int64_t fromUs, std::int64_t toUs) const noexcept
{
    const std::size_t first = lowerBound(fromUs);
    const std::size_t last = upperBound(toUs);
    if (fromUs > toUs || first >= last)
        return std::nullopt;
    TrendValueRange range{point(first).value, point(first).value};
    for (std::size_t i = first + 1; i < last; ++i) {
        range.min = std::min(range.min, point(i).value);
        range.max = std::max(range.max, point(i).value);
    }
    return range;
}

} // namespace telvar5
