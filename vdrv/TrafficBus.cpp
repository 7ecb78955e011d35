#include "vdrv/TrafficBus.h"

#include <algorithm>

namespace telvar5::vdrv {

namespace {
// After a longer silence only the last second (or one period of a slower
// parameter) is simulated: older words would all have been overwritten in an
// address buffer, and a file buffer keeps only the last 256 anyway. This keeps
// the cost of one request bounded whatever the gap since the last one.
constexpr Micros kCatchUpWindow = 1'000'000;
} // namespace

TrafficBus::TrafficBus(const ChannelTraffic& traffic)
    : speed_(traffic.speed), wordTime_(wordTimeUs(traffic.speed))
{
    slots_.reserve(traffic.sources.size());
    for (const TrafficSource& s : traffic.sources)
        slots_.push_back({s, 0});
}

Micros TrafficBus::firstDueAtOrAfter(Micros t, Micros period)
{
    if (t <= 0)
        return 0;
    return (t + period - 1) / period * period;
}

void TrafficBus::resync(Micros now)
{
    if (held_ && heldUntil_ <= now)
        held_ = false;
    for (Slot& slot : slots_)
        slot.due = firstDueAtOrAfter(now, slot.source.periodUs);
    busFree_ = now;
    lastDelivery_ = now;
    planNext();
}

void TrafficBus::catchUp(Micros now)
{
    for (Slot& slot : slots_) {
        const Micros windowStart = now - std::max(kCatchUpWindow, slot.source.periodUs);
        if (slot.due < windowStart)
            slot.due = firstDueAtOrAfter(windowStart, slot.source.periodUs);
    }
    busFree_ = std::max(busFree_, now - kCatchUpWindow - wordTime_);
    planNext();
}

std::size_t TrafficBus::nextSlot() const
{
    std::size_t best = 0;
    for (std::size_t i = 1; i < slots_.size(); ++i) {
        if (slots_[i].due < slots_[best].due)
            best = i;
    }
    return best;
}

void TrafficBus::planNext()
{
    if (slots_.empty()) {
        nextArrival_ = kNever;
        return;
    }
    nextArrival_ = std::max(slots_[nextSlot()].due, busFree_) + wordTime_;
}

void TrafficBus::deliverUntil(Micros now, Receiver& receiver)
{
    if (slots_.empty())
        return;
    if (held_) {
        if (now < heldUntil_)
            return;
        resync(heldUntil_); // the bus came back then
    }
    if (now - lastDelivery_ > kCatchUpWindow)
        catchUp(now);
    lastDelivery_ = now;
    while (nextArrival_ <= now) {
        Slot& slot = slots_[nextSlot()];
        const Micros arrival = nextArrival_;
        receiver.receive(slot.source.wordAt(arrival));
        busFree_ = arrival;
        slot.due += slot.source.periodUs;
        planNext();
    }
}

} // namespace telvar5::vdrv
