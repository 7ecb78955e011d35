#pragma once
// One parameter that a device on an input channel's bus sends periodically.
#include <cstdint>

#include "vdrv/Clock.h"
#include "vdrv/ValueCurve.h"

namespace telvar5::vdrv {

struct TrafficSource {
    enum class Kind : std::uint8_t {
        Bnr,      // a moving value as a BNR field
        Discrete, // fixed bits 9..32
    };

    Kind kind = Kind::Bnr;
    std::uint8_t label = 0; // bits 1..8 as a plain byte (written in octal in the configuration)
    Micros periodUs = 100'000;
    int bits = 16;          // BNR: significant bits
    double resolution = 1.0;
    std::uint8_t ssm = 3;   // BNR: sign/status matrix, 3 = normal operation
    ValueCurve curve;       // BNR: the value over time
    std::uint32_t data = 0; // Discrete: bits 9..32

    // The word as sent at time t (microseconds since the driver started).
    std::uint32_t wordAt(Micros t) const;
};

} // namespace telvar5::vdrv
