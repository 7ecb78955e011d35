#include "vdrv/Transmitter.h"

#include <algorithm>

namespace telvar5::vdrv {

namespace {
std::uint16_t clampCount(std::uint16_t count)
{
    return static_cast<std::uint16_t>(std::min<std::size_t>(count, kTransmitWords));
}
} // namespace

void Transmitter::load(const std::array<std::uint32_t, kTransmitWords>& words, std::uint16_t count)
{
    loaded_ = words;
    loadedCount_ = clampCount(count);
}

void Transmitter::begin(Micros now, Micros wordTime, State state)
{
    start_ = now;
    wordTime_ = wordTime > 0 ? wordTime : 1;
    wordsDone_ = 0;
    // A transmission of no words ends at once.
    state_ = count_ == 0 ? State::Idle : state;
}

void Transmitter::startSingle(Micros now, Micros wordTime)
{
    recordUntil(now); // a start cuts a running transmission short
    active_ = loaded_;
    count_ = loadedCount_;
    begin(now, wordTime, State::Single);
}

void Transmitter::startCyclic(Micros now, Micros wordTime, const std::array<std::uint32_t, kTransmitWords>& words,
                              std::uint16_t count)
{
    recordUntil(now);
    active_ = words;
    count_ = clampCount(count);
    begin(now, wordTime, State::Cyclic);
}

void Transmitter::stop(Micros now)
{
    recordUntil(now);
    state_ = State::Idle;
}

void Transmitter::updateWord(Micros now, std::uint16_t index, std::uint32_t word)
{
    if (index >= kTransmitWords)
        return;
    recordUntil(now);
    active_[index] = word;
}

void Transmitter::reset(Micros now)
{
    recordUntil(now);
    state_ = State::Idle;
    loaded_.fill(0);
    loadedCount_ = 0;
    active_.fill(0);
    count_ = 0;
}

bool Transmitter::running(Micros now) const
{
    switch (state_) {
    case State::Idle: return false;
    case State::Cyclic: return true;
    case State::Single: return now < start_ + static_cast<Micros>(count_) * wordTime_;
    }
    return false;
}

void Transmitter::recordUntil(Micros now)
{
    if (state_ == State::Idle || now <= start_)
        return;
    std::uint64_t completed = static_cast<std::uint64_t>((now - start_) / wordTime_);
    if (state_ == State::Single)
        completed = std::min<std::uint64_t>(completed, count_);
    if (completed <= wordsDone_)
        return;
    wordsSentTotal_ += completed - wordsDone_;
    // Only the last kSentRecordSize words can stay in the record.
    std::uint64_t k = std::max<std::uint64_t>(wordsDone_, completed > kSentRecordSize ? completed - kSentRecordSize : 0);
    for (; k < completed; ++k)
        push(start_ + static_cast<Micros>(k + 1) * wordTime_, active_[k % count_]);
    wordsDone_ = completed;
    if (state_ == State::Single && wordsDone_ >= count_)
        state_ = State::Idle;
}

void Transmitter::push(Micros time, std::uint32_t word)
{
    sent_[sentHead_] = {time, word};
    sentHead_ = (sentHead_ + 1) % kSentRecordSize;
    sentSize_ = std::min(sentSize_ + 1, kSentRecordSize);
}

std::vector<SentWord> Transmitter::sentWords(std::size_t n) const
{
    n = std::min(n, sentSize_);
    std::vector<SentWord> out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        out.push_back(sent_[(sentHead_ + kSentRecordSize - n + i) % kSentRecordSize]);
    return out;
}

} // namespace telvar5::vdrv
