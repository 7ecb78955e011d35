#include "core/analysis/CaptureRing.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace telvar5 {

CaptureRing::CaptureRing(std::size_t capacity)
    : mask_(std::bit_ceil(std::max<std::size_t>(capacity, 8)) - 1),
      publishMargin_(std::min<std::uint64_t>(4096, (mask_ + 1) / 4)),
      // Left uninitialised: the pages of a large ring cost nothing until the tick writes them.
      slots_(new Slot[mask_ + 1])
{
}

std::uint64_t CaptureRing::oldest() const noexcept
{
    const std::uint64_t h = head();
    return h > capacity() ? h - capacity() : 0;
}

std::uint64_t CaptureRing::firstSince(std::int64_t timeUs) const noexcept
{
    std::uint64_t low = oldest(), high = head();
    while (low < high) {
        const std::uint64_t middle = low + (high - low) / 2;
        if (at(middle).timeUs < timeUs)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

CaptureRange CaptureRing::copy(std::uint64_t from, std::span<CaptureEntry> out) const noexcept
{
    const std::uint64_t h = head();
    std::uint64_t first = std::max(from, h > capacity() ? h - capacity() : 0);
    if (first > h)
        first = h;
    std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), h - first));
    for (std::size_t i = 0; i < count; ++i)
        out[i] = read(slots_[(first + i) & mask_]);
    // The producer may have gone round while we copied: drop what it may have overwritten.
    // Slots of entries not yet published may be written too, up to the publish margin.
    const std::uint64_t h2 = head() + publishMargin_;
    const std::uint64_t safe = h2 > capacity() ? h2 - capacity() : 0;
    if (safe > first) {
        const std::size_t drop = static_cast<std::size_t>(std::min<std::uint64_t>(count, safe - first));
        std::memmove(out.data(), out.data() + drop, (count - drop) * sizeof(CaptureEntry));
        first += drop;
        count -= drop;
    }
    return {first, count};
}

} // namespace telvar5
