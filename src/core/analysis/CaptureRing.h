#pragma once
// The last words the refresh cycle stored, in a ring of fixed size allocated
// once: the tick appends without allocating, and readers (the label windows on
// the UI thread, the capture writer on its own thread) follow with cursors of
// their own. Entries are numbered from 0 for the whole run; the ring holds the
// newest `capacity()` of them.
//
// A slot is two 64-bit words written and read as relaxed atomics (plain moves
// on the machines we build for), so a reader on another thread may race the
// producer only in the sense the memory model allows: it may see a slot being
// rewritten, and copy() throws such entries away by their numbers.
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
    // on other threads see whole ticks. Times below 0 are kept as 0, and
    // above 2^48 µs (about nine years) they wrap.
    void push(const CaptureEntry& entry) noexcept
    {
        Slot& slot = slots_[written_ & mask_];
        std::atomic_ref<std::uint64_t>(slot.wordAndTick)
            .store(std::uint64_t{entry.word} | (std::uint64_t{entry.tick} << 32), std::memory_order_relaxed);
        const std::uint64_t time = entry.timeUs > 0 ? static_cast<std::uint64_t>(entry.timeUs) & kTimeMask : 0;
        std::atomic_ref<std::uint64_t>(slot.timeAndPlace)
            .store(time | (std::uint64_t{entry.channel} << 48) | (std::uint64_t{entry.cell} << 56),
                   std::memory_order_relaxed);
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
    CaptureEntry at(std::uint64_t number) const noexcept { return read(slots_[number & mask_]); }
    // On the producer's thread: the number of the oldest entry still held whose
    // time is timeUs or later (head() when none is). Times grow with the numbers.
    std::uint64_t firstSince(std::int64_t timeUs) const noexcept;

    // From any thread: copies up to out.size() entries from `from` on. Entries
    // the producer overwrote before or during the copy are skipped, so
    // first - from tells how many were lost.
    CaptureRange copy(std::uint64_t from, std::span<CaptureEntry> out) const noexcept;

private:
    struct Slot {
        std::uint64_t wordAndTick;  // word in the low half, tick in the high half
        std::uint64_t timeAndPlace; // time in the low 48 bits, then channel, then cell
    };
    static constexpr std::uint64_t kTimeMask = (std::uint64_t{1} << 48) - 1;

    static CaptureEntry read(const Slot& constSlot) noexcept
    {
        // The slots themselves are never const objects; atomic_ref needs a modifiable one.
        Slot& slot = const_cast<Slot&>(constSlot);
        const std::uint64_t a = std::atomic_ref<std::uint64_t>(slot.wordAndTick).load(std::memory_order_relaxed);
        const std::uint64_t b = std::atomic_ref<std::uint64_t>(slot.timeAndPlace).load(std::memory_order_relaxed);
        return {static_cast<std::int64_t>(b & kTimeMask), static_cast<std::uint32_t>(a >> 32),
                static_cast<std::uint32_t>(a), static_cast<std::uint8_t>(b >> 48), static_cast<std::uint8_t>(b >> 56)};
    }

    std::size_t mask_;
    // At most this many entries are written before they are published.
    std::uint64_t publishMargin_;
    std::unique_ptr<Slot[]> slots_;
    std::uint64_t written_ = 0;
    std::atomic<std::uint64_t> published_{0};
};

} // namespace telvar5
