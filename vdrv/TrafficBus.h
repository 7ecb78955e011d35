#pragma once
// The bus wired to one input channel: the parameters of the traffic scenario,
// each due once per period, sent one word at a time at the bus speed (a word
// arrives one word time after it starts; words due together queue up). Every
// source keeps a fixed phase (due at k x period since the driver started), so
// the bus needs simulating only while a receiver listens to it. While an output
// of the module wired to this input transmits, that transmitter has the bus
// (ARINC 429 carries one transmitter per bus) and the scenario keeps silent.
#include <vector>

#include "vdrv/DriverConfig.h"
#include "vdrv/Receiver.h"

namespace telvar5::vdrv {

class TrafficBus {
public:
    TrafficBus() = default;
    explicit TrafficBus(const ChannelTraffic& traffic);

    BusSpeed speed() const { return speed_; }
    bool hasTraffic() const { return !slots_.empty(); }

    // A receiver starts listening at now: words begin with the next due times.
    void resync(Micros now);

    // The module's transmitter has the bus until `until` (kNever while it
    // repeats; a stop gives the bus back at the stop): silent until then, the
    // scenario goes on with its words due from then on.
    void holdUntil(Micros until)
    {
        held_ = true;
        heldUntil_ = until;
    }
    bool held() const { return held_; }

    // Delivers every word that has fully arrived by now, in order.
    void deliverUntil(Micros now, Receiver& receiver);

    // When the next word will have arrived, or the bus comes back; kNever
    // without traffic.
    Micros nextArrivalUs() const { return held_ ? heldUntil_ : nextArrival_; }

private:
    struct Slot {
        TrafficSource source;
        Micros due = 0;
    };

    static Micros firstDueAtOrAfter(Micros t, Micros period);
    void catchUp(Micros now);
    std::size_t nextSlot() const;
    void planNext();

    BusSpeed speed_ = BusSpeed::Low;
    Micros wordTime_ = wordTimeUs(BusSpeed::Low);
    std::vector<Slot> slots_;
    Micros busFree_ = 0;     // when the bus can start the next word
    Micros lastDelivery_ = 0;
    Micros nextArrival_ = kNever;
    bool held_ = false;
    Micros heldUntil_ = 0;
};

} // namespace telvar5::vdrv
