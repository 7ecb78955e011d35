#pragma once
// The state of one run of the monitor: every table is a fixed array allocated
// for the whole run, all zero at start except where noted.
#include <array>
#include <cstdint>
#include <string>

#include "device/DeviceBus.h"
#include "device/ModuleTable.h"
#include "protocol/OutputRecord.h"
#include "protocol/Requests.h"
#include "formats/FormatTables.h"

namespace telvar5 {

inline constexpr int kChannels = 8;
inline constexpr int kInputCells = 256;

struct InputCell {
    std::uint32_t word = 0;
    std::uint32_t cycleNo = 0;
};
using InputChannelBuffer = std::array<InputCell, kInputCells>;

enum ReceptionMode : std::uint16_t { kReceptionOff = 0, kReceptionAddress = 1, kReceptionFile = 2 };
enum OutputMode : std::uint16_t { kOutputSingle = 0, kOutputCyclic = 1, kOutputStopped = 2 };

struct RunState {
    // The chosen module.
    DeviceHandle deviceHandle = kNoDevice;
    std::uint32_t deviceSerialNo = 0;
    std::uint32_t deviceIndex = 0;
    std::uint32_t siChannelCount = 0;
    std::uint32_t soChannelCount = 0;
    bool deviceChosen = false;
    ModuleTable modules; // moduleTable and moduleCount

    // Bit rates: input channels 1..8, then output channels 1..8.
    FreqCodes freqCodes{};
    std::string siFreqText; // UTF-8
    std::string soFreqText;

    // Displayed channels.
    std::uint16_t curInputIndex = 0;
    std::uint16_t curInputNo = 0;
    std::uint16_t curOutputIndex = 0;
    std::uint16_t curOutputNo = 0;

    // Output channels.
    std::array<std::uint16_t, kChannels> arraySize{};
    std::array<std::uint16_t, kChannels> arraySizeCopy{};
    std::array<OutputRecord, kChannels> outputRecord{};
    std::array<std::uint16_t, kChannels> outputMode{};
    // The channel's array or size changed since it was last saved or restored
    // from a file: the array lives only until the module is chosen again.
    std::array<bool, kChannels> arrayChanged{};

    // Input channels.
    std::array<std::uint16_t, kChannels> receptionMode{};
    std::array<InputChannelBuffer, kChannels> inputBuffer{};

    // Refresh cycle.
    std::uint32_t refreshCounter = 0;
    std::int32_t refreshPeriodMs = 500;

    // Formats.
    FormatTables formats;
    LabelFormatTable labelFormatTable{};

    // Output grid and bit editor.
    std::uint16_t wordIndex = 0;
    char lastKey = 0;
    int openMethod = 0;
};

} // namespace telvar5
