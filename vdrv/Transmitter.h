#pragma once
// One output channel of the module. A transmission sends one word per word
// time (36 bit times at the channel's rate): a single transmission of n words
// runs n word times and then the channel is idle; a cyclic one repeats its
// array until stopped. Timing is pure arithmetic on the start time, so asking
// whether the channel runs costs nothing. The module brings the transmitter up
// to "now" before each request: every word complete on the bus by then goes
// into the bench's record and to the receiver wired to this output, if it hears.
#include <array>
#include <cstdint>
#include <vector>

#include "vdrv/Clock.h"
#include "vdrv/Receiver.h"
#include "vdrv/SentRecord.h"

namespace telvar5::vdrv {

inline constexpr std::size_t kTransmitWords = 256;

class Transmitter {
public:
    enum class State : std::uint8_t { Idle, Single, Cyclic };
    using Words = std::array<std::uint32_t, kTransmitWords>;

    // ReqSOsingleLoad: keeps the words and the count for the next single start.
    void load(const Words& words, std::uint16_t count);
    // ReqSOsinglePusk: sends the loaded words once.
    void startSingle(Micros now, Micros wordTime);
    // ReqSOciclePusk: sends count words over and over.
    void startCyclic(Micros now, Micros wordTime, const Words& words, std::uint16_t count);
    void stop(Micros now);
    // ReqSOwordUpdate: the word at index carries the new value from the next
    // repetition of the array on; the repetition under way keeps the old one.
    void updateWord(Micros now, std::uint16_t index, std::uint32_t word);
    // Module reset: idle, arrays and loaded count cleared; the bench record stays.
    void reset(Micros now);

    bool running(Micros now) const { return state_ != State::Idle && now < end_; }
    State state(Micros now) const { return running(now) ? state_ : State::Idle; }
    std::uint16_t count() const { return count_; }
    // When the last transmission ends or ended: n word times after a single
    // start, at the stop, kNever while a cyclic one runs.
    Micros endUs() const { return end_; }
    // When the next word will be complete on the bus; kNever when none will.
    Micros nextWordUs() const;

    // Every word complete on the bus by now goes into the record and, in
    // order, to the listener (the receiver that hears this output, or nobody).
    void sendUntil(Micros now, Receiver* listener);

    std::uint64_t wordsSent() const { return wordsSentTotal_; }
    // The last n words of the record, oldest first (call sendUntil first).
    std::vector<SentWord> sentWords(std::size_t n) const { return record_.last(n); }

private:
    static constexpr std::uint64_t kNoSwitch = UINT64_MAX;

    void begin(Micros now, Micros wordTime, State state);
    void send(std::uint64_t completed, Receiver* listener);

    State state_ = State::Idle;
    Words loaded_{};
    std::uint16_t loadedCount_ = 0;
    Words active_{}; // the array of the repetition under way
    Words next_{};   // the array with the word updates, from word switchAt_ on
    std::uint64_t switchAt_ = kNoSwitch;
    std::uint16_t count_ = 0;
    Micros start_ = 0;
    Micros end_ = 0;
    Micros wordTime_ = 2880;
    std::uint64_t wordsDone_ = 0; // words of this transmission already sent

    SentRecord record_;
    std::uint64_t wordsSentTotal_ = 0;
};

} // namespace telvar5::vdrv
