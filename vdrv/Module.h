#pragma once
// The model of one TELVAR-5 module: up to 8 receivers with the buses wired to
// them and up to 8 transmitters, each output wired to one of the module's own
// inputs (by default output k to input k) so the module hears what it sends.
// No threads: the driver advances the model to "now" before each request.
// When nothing is due that costs one comparison.
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "vdrv/DriverConfig.h"
#include "vdrv/LoopbackWiring.h"
#include "vdrv/ModuleSnapshot.h"
#include "vdrv/Receiver.h"
#include "vdrv/TrafficBus.h"
#include "vdrv/Transmitter.h"

namespace telvar5::vdrv {

class Module {
public:
    explicit Module(const InterfaceConfig& config);

    std::uint16_t serial() const { return serial_; }
    int inputs() const { return inputs_; }
    int outputs() const { return outputs_; }
    bool initialised() const { return initialised_; }

    // Delivers every word complete by now: the transmitters' (into their
    // records and the receivers that hear them) and the listened buses'.
    void advanceTo(Micros now);

    // One request whose record sizes the driver has checked. `in` holds the
    // request's exact input size, `reply` has room for its output (zeroed).
    // Returns false for a request the module refuses.
    bool execute(Micros now, std::uint32_t code, const std::uint8_t* in, std::uint8_t* reply);

    // Bench: words arrive on input channel 1..8 now, in order, placed as the
    // channel's reception mode places them. They come straight into the
    // receiver, whatever its bit rate and without word-time spacing, so a test
    // sees them at once. Fails with a reason when the channel does not exist
    // or is not receiving.
    bool inject(Micros now, int channel, std::span<const std::uint32_t> words, std::string& error);
    // Bench: the transmitter of output channel 1..8, its record brought up to now.
    const Transmitter* transmitterAt(Micros now, int channel);

    // The faults in force; the driver asks them before each request.
    ModuleFaults& faults() { return faults_; }

    ModuleSnapshot snapshot(Micros now);

private:
    bool hearsTraffic(int input) const;
    Receiver* listenerOf(int output);
    void reschedule();
    // After a start or stop on an output: its transmitter has the wired bus or gives it back.
    void passBus(int output, Micros now);
    // ReqSOsingleLoad, ReqSOsinglePusk, ReqSOciclePusk.
    void transmitRequest(Micros now, std::uint32_t code, const std::uint8_t* in);
    void resetModule(Micros now);
    Receiver* receiverFor(std::uint16_t channelNo);
    Transmitter* transmitterFor(std::uint16_t channelNo);
    Micros outputWordTime(int output) const { return wordTimeUs(outputSpeed(output)); }
    BusSpeed outputSpeed(int output) const { return outputCodeSpeed(codes_[kMaxChannels + output]); }

    std::uint16_t serial_;
    int inputs_;
    int outputs_;
    bool initialised_ = false;
    std::array<std::uint8_t, 2 * kMaxChannels> codes_{}; // inputs 1..8, then outputs 1..8
    std::array<Receiver, kMaxChannels> receivers_{};
    std::array<TrafficBus, kMaxChannels> buses_{};
    std::array<Transmitter, kMaxChannels> transmitters_{};
    LoopbackWiring wiring_;
    Micros nextEvent_ = kNever;
    ModuleFaults faults_;
};

} // namespace telvar5::vdrv
