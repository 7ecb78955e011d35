#pragma once
// Per-label statistics of every input channel since its reception started:
// how many fresh words, how many a second lately, the shortest and longest
// interval between them, how many came with even parity (as the module handed
// them over), the last word and its time. The tables are fixed
// (8 channels x 256 labels) and allocated once: the tick records up to 2048
// words each time, so record() indexes by label and never allocates.
#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <limits>
#include <span>

#include "formats/ArincWord.h"

namespace telvar5 {

class LabelStatistics {
public:
    static constexpr std::size_t kChannelCount = 8;
    static constexpr std::size_t kLabelCount = 256;
    // The rate counts the words of the whole seconds (since the start of
    // reception) that cover the last 10 s: between 10 and 11 s of them.
    static constexpr std::int64_t kRateWindowSeconds = 10;
    // A label, or a channel, whose newest word is older than this shows as stale.
    static constexpr std::int64_t kStaleUs = 5'000'000;
    static constexpr bool isStale(std::int64_t newestUs, std::int64_t nowUs) noexcept
    {
        return nowUs - newestUs > kStaleUs;
    }

    struct Figures {
        std::uint64_t count = 0;
        double wordsPerSecond = 0.0;
        // Both -1 while the label has fewer than two words.
        std::int64_t minIntervalUs = -1;
        std::int64_t maxIntervalUs = -1;
        std::uint32_t lastWord = 0;
        std::int64_t lastUs = 0;
        // Words whose count of ones was even: not odd parity as ARINC 429 sends it.
        std::uint64_t evenParityCount = 0;
        // No fresh word for kStaleUs, or none at all.
        bool stale = true;
    };

    LabelStatistics();
    ~LabelStatistics();
    LabelStatistics(const LabelStatistics&) = delete;
    LabelStatistics& operator=(const LabelStatistics&) = delete;

    // Reception started on channel index ch at `startUs` (capture time): its
    // labels are forgotten and its generation changes.
    void reset(std::size_t ch, std::int64_t startUs);
    // A fresh word stored on channel index ch at capture time `timeUs`.
    // Inline: the tick calls it for every word it stores.
    void record(std::size_t ch, std::uint32_t word, std::int64_t timeUs) noexcept
    {
        if (ch >= kChannelCount)
            return;
        Channel& c = (*channels_)[ch];
        const std::uint32_t label = wordLabel(word);
        Label& l = c.labels[label];
        if (l.count == 0) {
            // Each label enters the order once per start, so `seen` stays within the table.
            c.order[c.seen++] = static_cast<std::uint8_t>(label);
        } else {
            // The clock is steady; should a time ever run backwards it counts as no interval.
            const std::int64_t interval = timeUs > l.lastUs ? timeUs - l.lastUs : 0;
            l.minIntervalUs = std::min(l.minIntervalUs, interval);
            l.maxIntervalUs = std::max(l.maxIntervalUs, interval);
        }
        ++l.count;
        // Kept beside the label's line: a sound bus never touches it.
        if (!wordParityOdd(word))
            ++c.evenParity[label];
        l.lastWord = word;
        l.lastUs = timeUs;
        // All words of one channel's read share one time: its second is worked out once.
        if (timeUs != c.clockUs)
            advanceClock(c, timeUs);
        if (c.clockSecond != l.newestSecond)
            advanceBuckets(c, l);
        if (l.newestSecond == c.clockSecond && l.perSecond[c.clockSlot] < kBucketFull)
            ++l.perSecond[c.clockSlot];
        c.touched[label] = true;
    }

    // Changes at every reset of the channel, so a reader knows its rows are gone.
    std::uint32_t generation(std::size_t ch) const noexcept;
    std::int64_t startUs(std::size_t ch) const noexcept;
    // The labels seen since the start, in the order they were first seen.
    std::span<const std::uint8_t> labelsInOrder(std::size_t ch) const noexcept;
    // Fresh words of one label since the start.
    std::uint64_t count(std::size_t ch, std::size_t label) const noexcept;
    // The figures of one label; the rate is taken at capture time `nowUs`.
    Figures figures(std::size_t ch, std::size_t label, std::int64_t nowUs) const noexcept;
    // The labels that took a word since the last call; the call clears them.
    std::bitset<kLabelCount> takeTouched(std::size_t ch) noexcept;

private:
    static constexpr std::size_t kBuckets = kRateWindowSeconds + 1;

    // A fast bus gives a label at most 2778 words a second, well inside a bucket.
    static constexpr std::uint16_t kBucketFull = std::numeric_limits<std::uint16_t>::max();

    // One cache line a label.
    struct alignas(64) Label {
        std::uint64_t count = 0;
        std::int64_t lastUs = 0;
        std::int64_t minIntervalUs = std::numeric_limits<std::int64_t>::max(); // meaningful from two words on
        std::int64_t maxIntervalUs = 0;
        // The second (since the start) counted by the newest bucket; the
        // buckets hold the seconds up to kBuckets - 1 before it.
        std::int32_t newestSecond = 0;
        std::uint32_t lastWord = 0;
        std::array<std::uint16_t, kBuckets> perSecond{};
    };
    static_assert(sizeof(Label) == 64);
    struct Channel {
        std::array<Label, kLabelCount> labels;
        std::array<std::uint8_t, kLabelCount> order;
        std::array<std::uint64_t, kLabelCount> evenParity;
        std::size_t seen;
        std::uint32_t generation;
        std::int64_t startUs;
        std::bitset<kLabelCount> touched;
        // The second (and its bucket) of the last time recorded on the channel.
        std::int64_t clockUs;
        std::int32_t clockSecond;
        std::size_t clockSlot;
    };

    static void advanceClock(Channel& c, std::int64_t timeUs) noexcept;
    // The label's newest bucket moves on to the channel's second: the buckets
    // of the seconds that passed without a word are emptied for reuse.
    static void advanceBuckets(const Channel& c, Label& l) noexcept;

    double rate(const Channel& c, const Label& l, std::int64_t nowUs) const noexcept;

    std::unique_ptr<std::array<Channel, kChannelCount>> channels_;
};

} // namespace telvar5
