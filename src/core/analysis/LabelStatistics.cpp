#include "core/analysis/LabelStatistics.h"

#include <algorithm>

#include "formats/ArincWord.h"

namespace telvar5 {

namespace {
constexpr std::int64_t kUsPerSecond = 1'000'000;
} // namespace

LabelStatistics::LabelStatistics() : channels_(std::make_unique<std::array<Channel, kChannelCount>>()) {}

LabelStatistics::~LabelStatistics() = default;

void LabelStatistics::reset(std::size_t ch, std::int64_t startUs)
{
    if (ch >= kChannelCount)
        return;
    Channel& c = (*channels_)[ch];
    c.labels.fill(Label{});
    c.evenParity.fill(0);
    c.seen = 0;
    c.touched.reset();
    c.startUs = startUs;
    c.clockUs = startUs;
    c.clockSecond = 0;
    c.clockSlot = 0;
    ++c.generation;
}

void LabelStatistics::advanceClock(Channel& c, std::int64_t timeUs) noexcept
{
    c.clockUs = timeUs;
    // Seconds since the start fit 32 bits for 68 years of reception.
    c.clockSecond = static_cast<std::int32_t>(timeUs > c.startUs ? (timeUs - c.startUs) / kUsPerSecond : 0);
    c.clockSlot = static_cast<std::size_t>(c.clockSecond) % kBuckets;
}

void LabelStatistics::advanceBuckets(const Channel& c, Label& l) noexcept
{
    // A time that ran backwards stays in the newest bucket's past and is not counted.
    if (c.clockSecond < l.newestSecond)
        return;
    const std::int64_t gap = std::min<std::int64_t>(std::int64_t{c.clockSecond} - l.newestSecond, kBuckets);
    std::size_t slot = c.clockSlot;
    for (std::int64_t i = 0; i < gap; ++i) {
        l.perSecond[slot] = 0;
        slot = slot == 0 ? kBuckets - 1 : slot - 1;
    }
    l.newestSecond = c.clockSecond;
}

std::uint32_t LabelStatistics::generation(std::size_t ch) const noexcept
{
    return ch < kChannelCount ? (*channels_)[ch].generation : 0;
}

std::int64_t LabelStatistics::startUs(std::size_t ch) const noexcept
{
    return ch < kChannelCount ? (*channels_)[ch].startUs : 0;
}

std::span<const std::uint8_t> LabelStatistics::labelsInOrder(std::size_t ch) const noexcept
{
    if (ch >= kChannelCount)
        return {};
    const Channel& c = (*channels_)[ch];
    return {c.order.data(), c.seen};
}

double LabelStatistics::rate(const Channel& c, const Label& l, std::int64_t nowUs) const noexcept
{
    const std::int64_t elapsed = nowUs - c.startUs;
    if (elapsed <= 0 || l.count == 0)
        return 0.0;
    const std::int64_t nowSecond = elapsed / kUsPerSecond;
    // Never over more time than has passed since the start.
    const std::int64_t firstSecond = std::max<std::int64_t>(0, nowSecond - kRateWindowSeconds);
    // Signed throughout: an unsigned size_t would wrap the oldest second of a young label.
    const std::int64_t oldestKept = std::int64_t{l.newestSecond} - static_cast<std::int64_t>(kBuckets - 1);
    const std::int64_t from = std::max<std::int64_t>(firstSecond, oldestKept);
    const std::int64_t to = std::min<std::int64_t>(nowSecond, l.newestSecond);
    std::uint64_t words = 0;
    for (std::int64_t s = from; s <= to; ++s)
        words += l.perSecond[static_cast<std::size_t>(s) % kBuckets];
    const std::int64_t spanUs = elapsed - firstSecond * kUsPerSecond;
    return static_cast<double>(words) * static_cast<double>(kUsPerSecond) / static_cast<double>(spanUs);
}

std::uint64_t LabelStatistics::count(std::size_t ch, std::size_t label) const noexcept
{
    return ch < kChannelCount && label < kLabelCount ? (*channels_)[ch].labels[label].count : 0;
}

LabelStatistics::Figures LabelStatistics::figures(std::size_t ch, std::size_t label, std::int64_t nowUs) const noexcept
{
    Figures f;
    if (ch >= kChannelCount || label >= kLabelCount)
        return f;
    const Channel& c = (*channels_)[ch];
    const Label& l = c.labels[label];
    f.count = l.count;
    f.wordsPerSecond = rate(c, l, nowUs);
    if (l.count >= 2) {
        f.minIntervalUs = l.minIntervalUs;
        f.maxIntervalUs = l.maxIntervalUs;
    }
    f.lastWord = l.lastWord;
    f.lastUs = l.lastUs;
    f.evenParityCount = c.evenParity[label];
    f.stale = l.count == 0 || isStale(l.lastUs, nowUs);
    return f;
}

std::bitset<LabelStatistics::kLabelCount> LabelStatistics::takeTouched(std::size_t ch) noexcept
{
    if (ch >= kChannelCount)
        return {};
    std::bitset<kLabelCount> touched = (*channels_)[ch].touched;
    (*channels_)[ch].touched.reset();
    return touched;
}

} // namespace telvar5
