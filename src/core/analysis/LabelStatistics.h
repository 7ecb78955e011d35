#pragma once
// Per-label statistics of every input channel since its reception started:
// how many fresh words, how many a second lately, the shortest and longest
// interval between them, the last word and its time. The tables are fixed
// (8 channels x 256 labels) and allocated once: the tick records up to 2048
// words each time, so record() indexes by label and never allocates.
#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace telvar5 {

class LabelStatistics {
public:
    static constexpr std::size_t kChannelCount = 8;
    static constexpr std::size_t kLabelCount = 256;
    // The rate counts the words of the whole seconds (since the start of
    // reception) that cover the last 10 s: between 10 and 11 s of them.
    static constexpr std::int64_t kRateWindowSeconds = 10;

    struct Figures {
        std::uint64_t count = 0;
        double wordsPerSecond = 0.0;
        // Both -1 while the label has fewer than two words.
        std::int64_t minIntervalUs = -1;
        std::int64_t maxIntervalUs = -1;
        std::uint32_t lastWord = 0;
        std::int64_t lastUs = 0;
    };

    LabelStatistics();
    ~LabelStatistics();
    LabelStatistics(const LabelStatistics&) = delete;
    LabelStatistics& operator=(const LabelStatistics&) = delete;

    // Reception started on channel index ch at `startUs` (capture time): its
    // labels are forgotten and its generation changes.
    void reset(std::size_t ch, std::int64_t startUs);
    // A fresh word stored on channel index ch at capture time `timeUs`.
    void record(std::size_t ch, std::uint32_t word, std::int64_t timeUs) noexcept;

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

    struct Label {
        std::uint64_t count;
        std::int64_t lastUs;
        std::int64_t minIntervalUs;
        std::int64_t maxIntervalUs;
        // The second (since the start) counted by the newest bucket; the
        // buckets hold the seconds up to kBuckets - 1 before it.
        std::int64_t newestSecond;
        std::uint32_t lastWord;
        std::array<std::uint32_t, kBuckets> perSecond;
    };
    struct Channel {
        std::array<Label, kLabelCount> labels;
        std::array<std::uint8_t, kLabelCount> order;
        std::size_t seen;
        std::uint32_t generation;
        std::int64_t startUs;
        std::bitset<kLabelCount> touched;
        // The second (and its bucket) of the last time recorded on the channel.
        std::int64_t clockUs;
        std::int64_t clockSecond;
        std::size_t clockSlot;
    };

    double rate(const Channel& c, const Label& l, std::int64_t nowUs) const noexcept;

    std::unique_ptr<std::array<Channel, kChannelCount>> channels_;
};

} // namespace telvar5
