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

void TrendSeries::window(std::int64_t fromUs, std::int64_t toUs, std::size_t maxPoints,
                         std::vector<TrendPoint>& out) const
{
    out.clear();
    if (fromUs > toUs || maxPoints == 0)
        return;
    const std::size_t first = lowerBound(fromUs);
    const std::size_t last = std::max(first, upperBound(toUs));
    if (last - first <= maxPoints) {
        for (std::size_t i = first; i < last; ++i)
            out.push_back(point(i));
        return;
    }

    // One point per span when only one fits: then each span keeps its highest.
    const bool pairs = maxPoints >= 2;
    const std::size_t buckets = pairs ? maxPoints / 2 : maxPoints;
    const double span = static_cast<double>(toUs) - static_cast<double>(fromUs) + 1.0;
    const auto bucketOf = [&](std::int64_t t) {
        const double b = std::floor((static_cast<double>(t) - static_cast<double>(fromUs)) / span
                                    * static_cast<double>(buckets));
        return static_cast<std::size_t>(std::clamp(b, 0.0, static_cast<double>(buckets - 1)));
    };
    const auto emit = [&](std::size_t lo, std::size_t hi) {
        if (!pairs || lo == hi) {
            out.push_back(point(hi));
            return;
        }
        out.push_back(point(std::min(lo, hi)));
        out.push_back(point(std::max(lo, hi)));
    };

    std::size_t bucket = bucketOf(point(first).timeUs);
    std::size_t lo = first, hi = first;
    for (std::size_t i = first + 1; i < last; ++i) {
        const TrendPoint& p = point(i);
        // A time out of order (never from the tick) stays in the span at hand, so the count holds.
        const std::size_t b = bucketOf(p.timeUs);
        if (b > bucket) {
            emit(lo, hi);
            bucket = b;
            lo = hi = i;
            continue;
        }
        if (p.value < point(lo).value)
            lo = i;
        if (p.value > point(hi).value)
            hi = i;
    }
    emit(lo, hi);
}

} // namespace telvar5
