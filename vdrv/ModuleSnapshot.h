#pragma once
// What the bench sees of one module at a moment: a copy, taken under the
// driver's lock and formatted outside it.
#include <array>
#include <cstdint>

#include "vdrv/BusSpeed.h"
#include "vdrv/DriverConfig.h"
#include "vdrv/ModuleFaults.h"
#include "vdrv/Receiver.h"
#include "vdrv/Transmitter.h"

namespace telvar5::vdrv {

struct ReceiverSnapshot {
    Receiver::Mode mode = Receiver::Mode::Stopped;
    std::uint8_t code = 0;
    bool hasTraffic = false;
    BusSpeed busSpeed = BusSpeed::Low;
    bool listening = false; // receiving, and the code takes the bus speed
    std::uint64_t wordsReceived = 0;
    std::uint32_t lastWord = 0;
    std::uint8_t busHeldBy = 0; // output 1..8 of the module transmitting on this bus now, 0: none
};

struct TransmitterSnapshot {
    Transmitter::State state = Transmitter::State::Idle;
    std::uint8_t code = 0;
    std::uint16_t count = 0;
    std::uint64_t wordsSent = 0;
    std::uint8_t wiredInput = kNotWired; // the input 1..8 this output feeds
};

struct ModuleSnapshot {
    int interfaceIndex = 0;
    bool failsToOpen = false;
    std::uint32_t openError = 0;
    std::uint16_t serial = 0;
    std::uint8_t inputs = 0;
    std::uint8_t outputs = 0;
    bool initialised = false;
    std::uint32_t openHandles = 0;
    ModuleFaults faults;
    std::array<ReceiverSnapshot, kMaxChannels> receivers{};
    std::array<TransmitterSnapshot, kMaxChannels> transmitters{};
};

} // namespace telvar5::vdrv
