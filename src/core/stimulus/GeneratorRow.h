#pragma once
// One parameter the generator transmits: a label on an output channel, whose
// value follows a waveform and goes into the word through a decimal format.
#include <cstdint>
#include <string>

#include "core/stimulus/Waveform.h"

namespace telvar5 {

struct GeneratorRow {
    int channel = 1;         // output channel number, 1..8
    std::uint8_t label = 0;  // the ARINC label (written in octal)
    std::string tag;         // the decimal format's tag, raw Windows-1251 bytes as the formats table holds them
    std::uint8_t ssm = 3;    // bits 30..31; 3 is normal operation for BNR data
    Waveform waveform;
    double intervalMs = 0.0; // how often the label is sent; 0: once per pass of the array
    bool operator==(const GeneratorRow&) const = default;
};

} // namespace telvar5
