#pragma once
// Which words the sequential log shows: channels, labels, SDI, SSM, parity and
// a time range. Every part lets all words through until it is narrowed.
#include <bitset>
#include <cstdint>
#include <limits>
#include <string_view>

#include "core/analysis/CaptureEntry.h"

namespace telvar5 {

enum class ParityFilter : std::uint8_t { Any, Odd, Even };

class WordLogFilter {
public:
    static constexpr std::size_t kChannelCount = 8;

    // Channels 1..8 to show.
    void setChannels(std::bitset<kChannelCount> channels) { channels_ = channels; }
    // Labels as the label statistics' filter takes them: octal starts of
    // labels between blanks, commas or semicolons, "31" for 310..317. An item
    // that starts no label keeps nothing; an empty text keeps every label.
    void setLabels(std::string_view text);
    void setLabels(std::bitset<256> labels) { labels_ = labels; }
    // SDI and SSM values 0..3 to show, bit n for value n.
    void setSdi(std::bitset<4> values) { sdi_ = values; }
    void setSsm(std::bitset<4> values) { ssm_ = values; }
    void setParity(ParityFilter parity) { parity_ = parity; }
    // Words from fromUs up to and including toUs since the start of reception.
    void setTimeRange(std::int64_t fromUs, std::int64_t toUs)
    {
        fromUs_ = fromUs;
        toUs_ = toUs;
    }

    const std::bitset<256>& labels() const { return labels_; }
    // Nothing narrowed: every word, a damaged one too, is shown.
    bool keepsEverything() const noexcept;
    bool matches(const CaptureEntry& e) const noexcept;

private:
    std::bitset<kChannelCount> channels_ = std::bitset<kChannelCount>().set();
    std::bitset<256> labels_ = std::bitset<256>().set();
    std::bitset<4> sdi_ = std::bitset<4>().set();
    std::bitset<4> ssm_ = std::bitset<4>().set();
    ParityFilter parity_ = ParityFilter::Any;
    std::int64_t fromUs_ = std::numeric_limits<std::int64_t>::min();
    std::int64_t toUs_ = std::numeric_limits<std::int64_t>::max();
};

} // namespace telvar5
