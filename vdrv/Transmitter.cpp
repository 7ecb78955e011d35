#include "vdrv/Transmitter.h"

#include <algorithm>

namespace telvar5::vdrv {

namespace {
std::uint16_t clampCount(std::uint16_t count)
{
    return static_cast<std::uint16_t>(std::min<std::size_t>(count, kTransmitWords));
}

// After a long gap between requests only the last words are simulated: older
// ones would be overwritten in the record and in the receiver's 256 cells
// (every index of an array of at most 256 words comes round within 256 words).
// This bounds the cost of one request whatever the gap.
constexpr std::uint64_t kCatchUpWords = kSentRecordSize;
} // namespace

void Transmitter::load(const Words& words, std::uint16_t count)
{
    loaded_ = words;
    loadedCount_ = clampCount(count);
}

void Transmitter::begin(Micros now, Micros wordTime, State state)
{
    next_ = active_;
    switchAt_ = kNoSwitch;
    start_ = now;
    wordTime_ = wordTime > 0 ? wordTime : 1;
    wordsDone_ = 0;
    // A transmission of no words ends at once.
    state_ = count_ == 0 ? State::Idle : state;
    if (state_ == State::Idle)
        end_ = now;
    else
        end_ = state_ == State::Single ? now + static_cast<Micros>(count_) * wordTime_ : kNever;
}

void Transmitter::startSingle(Micros now, Micros wordTime)
{
    sendUntil(now, nullptr); // a start cuts a running transmission short
    active_ = loaded_;
    count_ = loadedCount_;
    begin(now, wordTime, State::Single);
}

void Transmitter::startCyclic(Micros now, Micros wordTime, const Words& words, std::uint16_t count)
{
    sendUntil(now, nullptr);
    active_ = words;
    count_ = clampCount(count);
    begin(now, wordTime, State::Cyclic);
}

void Transmitter::stop(Micros now)
{
    sendUntil(now, nullptr);
    if (running(now))
        end_ = now; // the word on the bus is cut off
    state_ = State::Idle;
}

// An index at or beyond the count is kept in the array, as the module's memory
// would keep it, though this run never sends it: a new start brings a whole new
// array. On an idle channel the word is kept until a start replaces the array.
void Transmitter::updateWord(Micros now, std::uint16_t index, std::uint32_t word)
{
    if (index >= kTransmitWords)
        return;
    sendUntil(now, nullptr);
    if (!running(now)) {
        active_[index] = next_[index] = word;
        return;
    }
    const auto onTheBus = static_cast<std::uint64_t>(std::max<Micros>(0, now - start_) / wordTime_);
    if (onTheBus >= switchAt_)
        active_ = next_; // the repetition with the earlier updates has begun
    next_[index] = word;
    switchAt_ = (onTheBus / count_ + 1) * count_;
}

void Transmitter::reset(Micros now)
{
    stop(now);
    loaded_.fill(0);
    loadedCount_ = 0;
    active_.fill(0);
    next_.fill(0);
    count_ = 0;
}

Micros Transmitter::nextWordUs() const
{
    if (state_ == State::Idle)
        return kNever;
    const Micros t = start_ + static_cast<Micros>(wordsDone_ + 1) * wordTime_;
    return t <= end_ ? t : kNever;
}

void Transmitter::sendUntil(Micros now, Receiver* listener)
{
    if (state_ == State::Idle)
        return;
    const Micros until = std::min(now, end_);
    if (until - start_ >= wordTime_) {
        const auto completed = static_cast<std::uint64_t>((until - start_) / wordTime_);
        if (completed > wordsDone_)
            send(completed, listener);
    }
    if (now >= end_)
        state_ = State::Idle;
}

void Transmitter::send(std::uint64_t completed, Receiver* listener)
{
    std::uint64_t k = std::max(wordsDone_, completed > kCatchUpWords ? completed - kCatchUpWords : 0);
    if (listener)
        listener->skip(k - wordsDone_);
    std::size_t index = static_cast<std::size_t>(k % count_);
    for (; k < completed; ++k) {
        if (k >= switchAt_) {
            active_ = next_;
            switchAt_ = kNoSwitch;
        }
        const std::uint32_t word = active_[index];
        record_.push({start_ + static_cast<Micros>(k + 1) * wordTime_, word});
        if (listener)
            listener->receive(word);
        if (++index == count_)
            index = 0;
    }
    wordsSentTotal_ += completed - wordsDone_;
    wordsDone_ = completed;
}

} // namespace telvar5::vdrv
