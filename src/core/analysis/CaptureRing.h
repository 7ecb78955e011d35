#pragma once
// The last words the refresh cycle stored, in a ring of fixed size allocated
// once: the tick appends without allocating, and readers (the label windows on
// the UI thread, the capture writer on its own thread) follow with cursors of
// their own. Entries are numbered from 0 for the whole run; the ring holds the
// newest `capacity()` of them.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "core/analysis/CaptureEntry.h"

namespace telvar5 {

inline constexpr std::size_t kDefaultCaptureCapacity = std::size_t{1} << 20;

struct CaptureRange {
    std::uint64_t first = 0; // number of the first entry copied
    std::size_t count = 0;
};

class CaptureRing {
public:

    // The capacity is rounded up to a power of two.
    explicit CaptureRing(std::size_t capacity = kDefaultCaptureCapacity);

    std::size_t capacity() const noexcept { return mask_ + 1; }

    // Producer side (the tick): append, then publish once per tick so readers
    // on other threads see whole ticks.
    void push(const CaptureEntry& entry) noexcept
    {
        slots_[written_ & mask_] = entry;
        // Readers on other threads keep clear of the slots that may be written unpublished.
        if (++written_ - published_.load(std::memory_order_relaxed) >= publishMargin_)
            publish();
    }
    void publish() noexcept { published_.store(written_, std::memory_order_release); }

    // Entries published so far; the next one gets this number.
    std::uint64_t head() const noexcept { return published_.load(std::memory_order_acquire); }
    // The oldest entry still held.
    std::uint64_t oldest() const noexcept;

    // On the producer's thread: entry `number`, which must lie in [oldest(), head()).
    const CaptureEntry& at(std::uint64_t number) const noexcept { return slots_[number & mask_]; }

    // From any thread: copies up to out.size() entries from `from` on. Entries
    // the producer overwrote before or during the copy are skipped, so
    // first - from tells how many were lost.
    CaptureRange copy(std::uint64_t from, std::span<CaptureEntry> out) const noexcept;

private:
    std::size_t mask_;
    // At most this many entries are written before they are published.
    std::uint64_t publishMargin_;
    std::unique_ptr<CaptureEntry[]> slots_;
    std::uint64_t written_ = 0;
    std::atomic<std::uint64_t> published_{0};
};

} // namespace telvar5
