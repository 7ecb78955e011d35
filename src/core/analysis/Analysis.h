#pragma once
// What the monitor keeps beside the input buffers for analysis: every word the
// refresh cycle stores goes into the capture ring and the label statistics.
// Analysis never sends a request of its own; it sees what the tick has read.
#include <cstddef>
#include <cstdint>

#include "core/analysis/CaptureRing.h"
#include "core/analysis/LabelStatistics.h"

namespace telvar5 {

class Analysis {
public:
    explicit Analysis(std::size_t captureCapacity = kDefaultCaptureCapacity);
    Analysis(const Analysis&) = delete;
    Analysis& operator=(const Analysis&) = delete;

    // Reception starts on input channel index ch (0..7): its statistics start
    // afresh. Time zero of the capture is the first start of reception in the
    // run (or the start of a recording, should that come first).
    void receptionStarted(std::size_t ch, std::int64_t nowUs);
    // The module was initialised: its input buffers start empty, and so do the
    // statistics of every channel, whose labels belonged to the last run.
    void moduleInitialised(std::int64_t nowUs);
    void startClock(std::int64_t nowUs);
    bool clockStarted() const noexcept { return clockStarted_; }
    // Microseconds since time zero of the capture (0 before it).
    std::int64_t sinceStartUs(std::int64_t nowUs) const noexcept { return clockStarted_ ? nowUs - startUs_ : 0; }

    // The tick stored `word` in cell `cell` of channel index ch.
    void wordStored(std::size_t ch, std::size_t cell, std::uint32_t word, std::uint32_t tick,
                    std::int64_t nowUs) noexcept
    {
        if (!enabled_)
            return;
        const std::int64_t t = sinceStartUs(nowUs);
        ring_.push({t, tick, word, static_cast<std::uint8_t>(ch + 1), static_cast<std::uint8_t>(cell)});
        statistics_.record(ch, word, t);
    }
    // The tick is over: its entries become visible to readers on other threads.
    void tickDone() noexcept { ring_.publish(); }

    // On by default; the benchmark turns it off for its baseline.
    void setEnabled(bool on) noexcept { enabled_ = on; }

    CaptureRing& ring() noexcept { return ring_; }
    const CaptureRing& ring() const noexcept { return ring_; }
    LabelStatistics& statistics() noexcept { return statistics_; }
    const LabelStatistics& statistics() const noexcept { return statistics_; }

private:
    CaptureRing ring_;
    LabelStatistics statistics_;
    std::int64_t startUs_ = 0;
    bool clockStarted_ = false;
    bool enabled_ = true;
};

} // namespace telvar5
