#pragma once
// The bench's record of the words a transmitter sent: a ring allocated with
// the transmitter, so recording a word is two stores.
#include <array>
#include <cstdint>
#include <vector>

#include "vdrv/Clock.h"

namespace telvar5::vdrv {

inline constexpr std::size_t kSentRecordSize = 1024;

struct SentWord {
    Micros timeUs = 0; // when the word was complete on the bus, since the driver started
    std::uint32_t word = 0;
};

class SentRecord {
public:
    void push(const SentWord& w)
    {
        ring_[head_] = w;
        head_ = (head_ + 1) % kSentRecordSize;
        if (size_ < kSentRecordSize)
            ++size_;
    }

    // The last n words, oldest first.
    std::vector<SentWord> last(std::size_t n) const;

private:
    std::array<SentWord, kSentRecordSize> ring_{};
    std::size_t head_ = 0; // next slot to write
    std::size_t size_ = 0;
};

} // namespace telvar5::vdrv
