#pragma once
// One output channel of the module. A transmission sends one word per word
// time (36 bit times at the channel's rate): a single transmission of n words
// runs n word times and then the channel is idle; a cyclic one repeats its
// array until stopped. Timing is pure arithmetic on the start time, so asking
// whether the channel runs costs nothing; the words sent are written into a
// bounded record for the bench only when someone looks or the state changes.
#include <array>
#include <cstdint>
#include <vector>

#include "vdrv/Clock.h"

namespace telvar5::vdrv {

inline constexpr std::size_t kTransmitWords = 256;
inline constexpr std::size_t kSentRecordSize = 1024;

struct SentWord {
    Micros timeUs = 0; // when the word was complete on the bus
    std::uint32_t word = 0;
};

class Transmitter {
public:
    enum class State : std::uint8_t { Idle, Single, Cyclic };

    // ReqSOsingleLoad: keeps the words and the count for the next single start.
    void load(const std::array<std::uint32_t, kTransmitWords>& words, std::uint16_t count);
    // ReqSOsinglePusk: sends the loaded words once.
    void startSingle(Micros now, Micros wordTime);
    // ReqSOciclePusk: sends count words over and over.
    void startCyclic(Micros now, Micros wordTime, const std::array<std::uint32_t, kTransmitWords>& words,
                     std::uint16_t count);
    void stop(Micros now);
    // ReqSOwordUpdate: words sent from now on carry the new value.
    void updateWord(Micros now, std::uint16_t index, std::uint32_t word);
    // Module reset: idle, arrays and loaded count cleared; the bench record stays.
    void reset(Micros now);

    bool running(Micros now) const;
    State state(Micros now) const { return running(now) ? state_ : State::Idle; }
    std::uint16_t count() const { return count_; }

    // Brings the record of sent words up to now.
    void recordUntil(Micros now);
    std::uint64_t wordsSent() const { return wordsSentTotal_; }
    // The last n words of the record, oldest first (call recordUntil first).
    std::vector<SentWord> sentWords(std::size_t n) const;

private:
    void begin(Micros now, Micros wordTime, State state);
    void push(Micros time, std::uint32_t word);

    State state_ = State::Idle;
    std::array<std::uint32_t, kTransmitWords> loaded_{};
    std::uint16_t loadedCount_ = 0;
    std::array<std::uint32_t, kTransmitWords> active_{};
    std::uint16_t count_ = 0;
    Micros start_ = 0;
    Micros wordTime_ = 2880;
    std::uint64_t wordsDone_ = 0; // words of this transmission already recorded

    std::array<SentWord, kSentRecordSize> sent_{};
    std::size_t sentHead_ = 0; // next slot to write
    std::size_t sentSize_ = 0;
    std::uint64_t wordsSentTotal_ = 0;
};

} // namespace telvar5::vdrv
